#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/XMLDocument.h"
#include "base/XMLNodePools.h"
#include "base/XMLTestUtil.h"

using Base::cXMLAttribute;
using Base::cXMLDocument;
using Base::cXMLElement;
using Base::cXMLNode;

namespace
{
cXMLElement* RootOf(cXMLDocument& document)
{
    cXMLNode* root = document.FirstChild("Root", false);
    return root ? root->ToElement() : nullptr;
}

std::string AttributeOf(cXMLDocument& document, const char* name)
{
    cXMLElement* root = RootOf(document);
    const char* value = root ? root->Attribute(name) : nullptr;
    return value ? value : "<missing>";
}

struct ParseCase
{
    const char* text;
    bool loads;
    int32_t errorId;
    const char* errorText;
};

class XMLParseTable : public ::testing::TestWithParam<bool>
{
};
} // namespace

// Each malformed input fails with its own id and text, in owned and pooled
// documents alike; well-formed input with the tolerated oddities loads.
TEST_P(XMLParseTable, ErrorsByInput)
{
    const ParseCase cases[] = {
        {"", false, 1, "File I/O error"},
        {" \n\t ", false, 0, "Document empty."},
        {"<Root/>\n", true, 0, "No error"},
        {"junk<Root/> more junk <!--c-->\r\n", true, 0, "No error"},
        {"<Root/> tail", false, 0, "The '<' symbol that starts a tag was not found."},
        {"<  Root a='1'/>", true, 0, "No error"},
        {"<Root a='1'></root>", false, 8, "Error reading end tag."},
        {"<Root></Root >", false, 8, "Error reading end tag."},
        {"<Root A='1' a='2'/>", false, 12, "Error attribute duplicated."},
        {"<Root a=1/>", false, 3, "Error parsing Element."},
        {"<Root a='1", false, 3, "Error parsing Element."},
        {"<Root a='1'", false, 3, "Error parsing Element."},
        {"<Root a/>", false, 3, "Error parsing Element."},
        {"<Root   ", false, 6, "Error reading Attributes."},
        {"<Root/x>", false, 7, "Error: empty tag."},
        {"<Root>text", false, 5, "Error reading Element value."},
        {"<Root><A/>\n", false, 5, "Error reading Element value."},
        {"<!-- open", false, 10, "Error parsing Comment."},
        {"<!DOCTYPE x", false, 9, "Error parsing Unknown."},
        {"<?xml version='1.0'", false, 11, "Error parsing Declaration."},
        // A declaration's fields end at its "?>": an open value is no field.
        {"<?xml version=\"1.0 ?><Root b=\"&amp;lt;\"/>", false, 11, "Error parsing Declaration."},
        {"<?xml version=1.0?><Root/>", false, 11, "Error parsing Declaration."},
        {"<?xml-stylesheet href=\"versioned.xsl\"?><Root/>", true, 0, "No error"},
        // Truncated documents: the text stops where an end tag should follow.
        {"<Root>", false, 8, "Error reading end tag."},
        {"<Root>  \n", false, 8, "Error reading end tag."},
        {"<Root><A/>", false, 8, "Error reading end tag."},
        {"<Root", false, 3, "Error parsing Element."},
    };
    for (const ParseCase& c : cases)
    {
        SCOPED_TRACE(c.text);
        cXMLDocument document(GetParam());
        EXPECT_EQ(LoadText(document, c.text), c.loads);
        EXPECT_EQ(document.HasError(), !c.loads);
        EXPECT_EQ(document.GetErrorId(), c.errorId);
        EXPECT_STREQ(document.GetErrorText(), c.loads ? "" : c.errorText);
    }
}

TEST_P(XMLParseTable, AttributeReferencesDecodeOnlyKnownEntities)
{
    const struct
    {
        const char* coded;
        const char* decoded;
    } cases[] = {
        {"&lt;&gt;&amp;&quot;", "<>&\""},
        {"&apos;&#65;", "&apos;&#65;"},
        {"&a;&am;&;&q;&AE;&ltx;&Lt;", "&a;&am;&;&q;&AE;&ltx;&Lt;"}, // only whole names
        {"&lt;&l&amp;&amp", "<&l&&amp"},
        {"&AElig;&aelig;", "\xC3\x86\xC3\xA6"},
        {"R & B", "R & B"},
        {"x&zz;y", "x&zz;y"},
        {"0.75 &lt; 1 &amp;&amp; done", "0.75 < 1 && done"}, // text before the first reference stays put
        {"no reference at all", "no reference at all"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.coded);
        cXMLDocument document(GetParam());
        ASSERT_TRUE(LoadText(document, std::string("<Root V=\"") + c.coded + "\"/>"));
        EXPECT_EQ(AttributeOf(document, "v"), c.decoded);
    }
}

TEST_P(XMLParseTable, TreeShapeAndCaseInsensitiveLookups)
{
    cXMLDocument document(GetParam());
    ASSERT_TRUE(LoadText(document, "<?xml version=\"1.0\"?>\n<!-- c -->\n<Root FileVersion='1.000000'>\n"
                                   "   <Audio Latency='2'/>\n   <Pad/><Pad N='2'>  a \n\t b  \n </Pad>\n</Root>\n"));
    cXMLElement* root = RootOf(document);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(document.FirstChild("ROOT", false), root);
    ASSERT_NE(root->FindAttribute("FILEVERSION"), nullptr);
    EXPECT_STREQ(root->FindAttribute("FILEVERSION")->GetName(), "FileVersion");

    cXMLNode* audio = root->FirstChild("audio", false);
    ASSERT_NE(audio, nullptr);
    EXPECT_STREQ(audio->ToElement()->Attribute("LATENCY"), "2");
    cXMLNode* pad = root->FirstChild("Pad", false);
    cXMLNode* secondPad = pad->NextSibling("pad", false);
    ASSERT_NE(secondPad, nullptr);
    EXPECT_STREQ(secondPad->ToElement()->Attribute("N"), "2");
    EXPECT_EQ(secondPad->NextSibling("Pad", false), nullptr);

    // Text content: leading blanks dropped, inner run one blank, trailing run
    // one blank (pooled texts are kept as they lie).
    cXMLNode* text = secondPad->FirstChild();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetType(), cXMLNode::kText);
    if (!GetParam())
    {
        EXPECT_STREQ(text->GetValue(), "a b ");
    }

    cXMLNode* declaration = document.FirstChild(nullptr, true);
    ASSERT_EQ(declaration->GetType(), cXMLNode::kDeclaration);
    EXPECT_STREQ(static_cast<Base::cXMLDeclaration*>(declaration)->GetVersion(), "1.0");
    EXPECT_EQ(declaration->NextSibling(nullptr, true)->GetType(), cXMLNode::kComment);
    EXPECT_STREQ(declaration->NextSibling(nullptr, true)->GetValue(), " c ");
}

// Files far larger than the program writes, built to make the parse slow:
// each must load as it reads, in one pass over the text (the speed itself is
// measured by bench_xml).
TEST_P(XMLParseTable, FloodsOfReferencesAndAttributesLoadAsTheyRead)
{
    const std::string ampersands(size_t(1) << 20, '&');
    cXMLDocument references(GetParam());
    ASSERT_TRUE(LoadText(references, "<Root V=\"" + ampersands + "&lt;\"/>"));
    EXPECT_EQ(AttributeOf(references, "V"), ampersands + "<");

    std::string attributes;
    for (int i = 0; i < 40000; ++i)
        attributes += " a" + std::to_string(i) + "='1'";
    cXMLDocument many(GetParam());
    ASSERT_TRUE(LoadText(many, "<Root" + attributes + "/>"));
    EXPECT_EQ(AttributeOf(many, "A39999"), "1");
    for (const char* duplicate : {" A0='2'", " a39999='2'", " A20000='2'"})
    {
        SCOPED_TRACE(duplicate);
        cXMLDocument twice(GetParam());
        EXPECT_FALSE(LoadText(twice, "<Root" + attributes + duplicate + "/>"));
        EXPECT_EQ(twice.GetErrorId(), cXMLDocument::kErrorDuplicateAttribute);
    }
}

INSTANTIATE_TEST_SUITE_P(OwnedAndPooled, XMLParseTable, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Pooled" : "Owned"; });

TEST(XMLDocument, LoadedDocumentIsNamedAfterItsStreamAndErrorsStick)
{
    cXMLDocument fresh;
    EXPECT_STREQ(fresh.GetValue(), "");

    cXMLDocument document;
    EXPECT_FALSE(LoadText(document, "<Root>"));
    EXPECT_STREQ(document.GetValue(), "MemoryRead");
    // A document is meant for one load: its error state is never cleared.
    EXPECT_FALSE(LoadText(document, "<Root/>"));
    EXPECT_NE(RootOf(document), nullptr);
}

TEST(XMLDocument, SetAttributeKeepsFirstOrderAndStoredName)
{
    cXMLDocument document;
    cXMLElement* root = new cXMLElement("Root");
    document.LinkEndChild(root);
    root->SetAttribute("B", "1");
    root->SetAttribute("A", "2");
    root->SetAttribute("b", "3");
    EXPECT_EQ(SaveText(document), "<Root B=\"3\" A=\"2\"/>\n");
    EXPECT_TRUE(root->RemoveAttribute("b"));
    EXPECT_EQ(SaveText(document), "<Root A=\"2\"/>\n");
}

TEST(XMLDocument, PrintsIndentedWithCommentRuleAndQuoteChoice)
{
    cXMLDocument document;
    ASSERT_TRUE(LoadText(document, "<!--top--><A><!--first--><B x='say \"hi\"' y=\"it's\"><C/><!--later--><D p='1' q='2'/>"
                                   "</B></A><?php echo ?>"));
    EXPECT_EQ(SaveText(document), "<A>\n"
                                  "    <!--first-->"
                                  "   <B x='say \"hi\"' y=\"it's\">\n"
                                  "      <C/>\n"
                                  "      <D p=\"1\" q=\"2\"/>\n"
                                  "   </B>\n"
                                  "</A>\n"
                                  "<?php echo ?>");
}

TEST(XMLDocument, DeclarationPrintsItsFieldsInOrder)
{
    cXMLDocument document;
    ASSERT_TRUE(LoadText(document, "<?XML standalone='yes' version='1.0'?><Root/>"));
    EXPECT_EQ(SaveText(document), "<?xml version=\"1.0\" standalone=\"yes\" ?><Root/>\n");
}

// Values that could not be read back as printed are written with references.
TEST(XMLDocument, AttributeValuesRoundTripWhateverTheyHold)
{
    const struct
    {
        const char* value;
        const char* printed;
    } cases[] = {
        {"plain", "<Root N=\"plain\"/>\n"},
        {"R&B; live", "<Root N=\"R&amp;B; live\"/>\n"},
        {"a \"b\" 'c'", "<Root N=\"a &quot;b&quot; 'c'\"/>\n"},
        {"5\" & more", "<Root N='5\" &amp; more'/>\n"},
        {"<Init>", "<Root N=\"&lt;Init>\"/>\n"},
        {"", "<Root N=\"\"/>\n"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.value);
        cXMLDocument document;
        cXMLElement* root = new cXMLElement("Root");
        document.LinkEndChild(root);
        root->SetAttribute("N", c.value);
        const std::string printed = SaveText(document);
        EXPECT_EQ(printed, c.printed);

        cXMLDocument loaded;
        ASSERT_TRUE(LoadText(loaded, printed));
        EXPECT_EQ(AttributeOf(loaded, "N"), c.value);
    }
}

TEST(XMLDocument, PiecesLongerThanTheScratchAreWrittenWhole)
{
    const std::string longValue(10000, 'Q');
    cXMLDocument document;
    cXMLElement* root = new cXMLElement("Root");
    document.LinkEndChild(root);
    root->SetAttribute("Data", longValue.c_str());
    root->SetAttribute("Tail", "x&y");
    root->SetAttribute("Escaped", (longValue + "&").c_str());
    const std::string printed = SaveText(document);
    EXPECT_EQ(printed, "<Root Data=\"" + longValue + "\" Tail=\"x&amp;y\" Escaped=\"" + longValue + "&amp;\"/>\n");

    cXMLDocument loaded;
    ASSERT_TRUE(LoadText(loaded, printed));
    EXPECT_EQ(AttributeOf(loaded, "Data"), longValue);
}

namespace
{
// A stream that takes nothing, like a full disk.
class cRefusingStream : public File::cFileMemoryWrite
{
public:
    int Write(const void*, int) override { return 0; }
};
} // namespace

TEST(XMLDocument, SaveReportsAStreamThatRefusesBytes)
{
    cXMLDocument document;
    document.LinkEndChild(new cXMLElement("Root"));
    cRefusingStream stream;
    EXPECT_FALSE(document.SaveFile(&stream));
    EXPECT_EQ(document.GetErrorId(), cXMLDocument::kErrorIO);
    EXPECT_NE(stream.GetErrorFlag(), 0);
}

// Loaded owned attributes keep their texts in their own block: new values,
// removals and additions after the load must read and free as any other.
TEST(XMLDocument, LoadedOwnedAttributesTakeNewValuesAndGoAway)
{
    cXMLDocument document;
    ASSERT_TRUE(LoadText(document, "<Root Short=\"1\" Long=\"a &amp; b\" Gone=\"x\"/>"));
    cXMLElement* root = RootOf(document);
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(root->SetAttribute("short", "a value longer than the one loaded"));
    EXPECT_TRUE(root->SetAttribute("Long", ""));
    EXPECT_TRUE(root->RemoveAttribute("gone"));
    EXPECT_TRUE(root->SetAttribute("Added", "2"));
    EXPECT_STREQ(root->FirstAttribute()->GetName(), "Short");
    EXPECT_EQ(SaveText(document), "<Root Short=\"a value longer than the one loaded\" Long=\"\" Added=\"2\"/>\n");
    cXMLNode* copy = document.Clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(SaveText(*copy->ToDocument()), SaveText(document));
    delete copy;
}

TEST(XMLDocument, CloneIsADeepOwnedCopy)
{
    const char* text = "<Root A=\"1\" B=\"x&amp;y\">\n   <C D=\"2\"/>\n   <E>\n      <F/>\n   </E>\n</Root>\n";
    for (bool pooled : {false, true})
    {
        cXMLDocument document(pooled);
        ASSERT_TRUE(LoadText(document, text));
        cXMLNode* copy = document.Clone();
        ASSERT_NE(copy, nullptr);
        document.ReleaseLoadData();
        EXPECT_FALSE(copy->IsPooled());
        EXPECT_EQ(SaveText(*copy->ToDocument()), text);
        delete copy;
    }
}

TEST(XMLDocument, PooledDocumentHandsOutBlocksOfFifty)
{
    std::string text = "<Root>";
    for (int i = 0; i < 50; ++i)
        text += "<Item/>";
    text += "</Root>";
    cXMLDocument document(true);
    ASSERT_TRUE(LoadText(document, text));
    ASSERT_NE(document.GetPools(), nullptr);
    EXPECT_EQ(document.GetPools()->mElements.GetBlockCount(), 2u);
    EXPECT_EQ(document.GetPools()->mElements.GetHandedOutInCurrentBlock(), 1u);
    EXPECT_TRUE(RootOf(document)->IsPooled());
}

TEST(XMLDocument, RemoveChildOnlyTakesItsOwnChildren)
{
    cXMLDocument document;
    ASSERT_TRUE(LoadText(document, "<Root><A/><B/></Root><Other/>"));
    cXMLElement* root = RootOf(document);
    cXMLNode* other = document.FirstChild("Other", false);
    EXPECT_FALSE(root->RemoveChild(other));
    EXPECT_TRUE(root->RemoveChild(root->FirstChild("A", false)));
    EXPECT_EQ(SaveText(document), "<Root>\n   <B/>\n</Root>\n<Other/>\n");
    root->Clear();
    EXPECT_EQ(SaveText(document), "<Root/>\n<Other/>\n");
}

TEST(XMLDocument, SearchesInBothDirections)
{
    cXMLDocument document;
    ASSERT_TRUE(LoadText(document, "<Root A='1' B='2'><!--x--><Item N='1'/>text<Item N='2'/><Other/></Root>"));
    cXMLElement* root = RootOf(document);

    cXMLNode* last = root->LastChild("item", false);
    ASSERT_NE(last, nullptr);
    EXPECT_STREQ(last->ToElement()->Attribute("N"), "2");
    cXMLNode* first = last->PreviousSibling("ITEM", false);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->ToElement()->Attribute("N"), "1");
    EXPECT_EQ(first->PreviousSibling(nullptr, false), nullptr);
    EXPECT_EQ(first->PreviousSibling(nullptr, true)->GetType(), cXMLNode::kComment);

    // The element searches pass over the text between the items.
    EXPECT_EQ(root->FirstChildElement(nullptr), first);
    EXPECT_EQ(first->NextSiblingElement(nullptr), last);
    EXPECT_STREQ(last->NextSiblingElement(nullptr)->GetValue(), "Other");
    EXPECT_EQ(root->LastChild()->GetValue(), std::string("Other"));

    cXMLAttribute* a = root->FirstAttribute();
    EXPECT_EQ(a->Previous(), nullptr);
    EXPECT_STREQ(a->Next()->GetName(), "B");
    EXPECT_EQ(a->Next()->Next(), nullptr);
    EXPECT_EQ(a->Next()->Previous(), a);
    EXPECT_EQ(root->Attribute("missing"), nullptr);
}

namespace
{
std::string Nested(int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<A>";
    for (int i = 0; i < depth; ++i)
        text += "</A>";
    return text;
}
} // namespace

// An owned text holds less than 128 MiB: a longer one refuses the load
// instead of loading as an empty value. Pooled documents keep values in the
// loaded text and have no such limit.
TEST(XMLDocument, TextsTooLongToHoldRefuseTheLoad)
{
    // One buffer serves both cases (the sizes make copies slow): a 128 MiB
    // value, then the same bytes as the root's text.
    const size_t hugeLength = size_t(128) << 20;
    std::string text = "<Root V='";
    text.append(hugeLength, 'x');
    text += "'/>    ";

    cXMLDocument pooled(true);
    ASSERT_TRUE(LoadText(pooled, text));
    EXPECT_EQ(std::strlen(RootOf(pooled)->Attribute("V")), hugeLength);
    cXMLDocument ownedValue;
    EXPECT_FALSE(LoadText(ownedValue, text));
    EXPECT_EQ(ownedValue.GetErrorId(), cXMLDocument::kErrorParsingElement);

    text.replace(0, 9, "<Root>xxx");
    text.replace(text.size() - 7, 7, "</Root>");
    cXMLDocument ownedText;
    EXPECT_FALSE(LoadText(ownedText, text));
    EXPECT_EQ(ownedText.GetErrorId(), cXMLDocument::kErrorOutOfMemory);

    cXMLElement element("Root");
    EXPECT_FALSE(element.SetAttribute("V", text.c_str()));
    EXPECT_TRUE(element.SetAttribute("V", "fits"));
    EXPECT_STREQ(element.Attribute("V"), "fits");
}

// A file nested deeper than any the program writes is refused instead of
// exhausting the stack of the thread that loads it.
TEST(XMLDocument, DeepNestingIsRefused)
{
    const struct
    {
        int depth;
        bool loads;
    } cases[] = {{100, true}, {101, false}, {200000, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.depth);
        for (bool pooled : {false, true})
        {
            cXMLDocument document(pooled);
            EXPECT_EQ(LoadText(document, Nested(c.depth)), c.loads);
            EXPECT_EQ(document.GetErrorId(), c.loads ? cXMLDocument::kNoError : cXMLDocument::kErrorParsingElement);
        }
    }
}
