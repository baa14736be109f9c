#include <gtest/gtest.h>

#include <juce_core/juce_core.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "BuildPaths.h"
#include "base/Geometry.h"
#include "base/Math.h"
#include "base/SerialiseXML.h"
#include "base/XMLTestUtil.h"

using Base::cEnumEntry;
using Base::cEnumTable;
using Base::cSerialise;
using Base::cSerialiseXML;

namespace
{
using tBody = std::function<void(cSerialise&)>;

std::string Save(float version, const tBody& body, uint32_t flags = 0)
{
    File::cFileMemoryWrite stream;
    cSerialiseXML serialiser(version, &stream, flags);
    EXPECT_TRUE(serialiser.Begin());
    body(serialiser);
    EXPECT_TRUE(serialiser.End());
    return StreamText(stream);
}

// Loads text and runs body when Begin succeeds; the result of Begin.
bool Load(const std::string& text, const tBody& body, float version = 1.0f, uint32_t flags = 0)
{
    File::cFileMemoryRead stream(reinterpret_cast<const uint8_t*>(text.data()), int(text.size()));
    cSerialiseXML serialiser(version, &stream, flags);
    const bool begun = serialiser.Begin();
    if (begun)
        body(serialiser);
    serialiser.End();
    return begun;
}

std::string RootWith(const std::string& attributes)
{
    return "<Root FileVersion=\"1.000000\" " + attributes + "/>\n";
}

const cEnumEntry kKnobEntries[] = {{0, "Vertical"}, {1, "Rotary"}};
const cEnumTable kKnobTable = {kKnobEntries, 2};
} // namespace

TEST(SerialiseXML, WritesTheDocumentByteForByte)
{
    EXPECT_EQ(Save(1.0f, [](cSerialise&) {}), "<Root FileVersion=\"1.000000\"/>\n");

    const std::string saved = Save(1.0f, [](cSerialise& s) {
        float gain = 0.5f;
        int32_t latency = 2;
        bool on = true;
        s.SerialiseFloat("Gain", &gain, -FLT_MAX, FLT_MAX);
        ASSERT_TRUE(s.BeginNode("Audio", true));
        s.SerialiseInt32("Latency", &latency, INT_MIN, INT_MAX);
        s.SerialiseBool("On", &on);
        s.EndNode("Audio");
    });
    EXPECT_EQ(saved, "<Root FileVersion=\"1.000000\" Gain=\"0.500000\">\n   <Audio Latency=\"2\" On=\"true\"/>\n</Root>\n");
}

TEST(SerialiseXML, NodeNamesAreSanitisedAndFoundByTheirOwnName)
{
    const std::string saved = Save(1.0f, [](cSerialise& s) {
        int32_t level = 3;
        ASSERT_TRUE(s.BeginNode("Mix Bus (1)", true));
        s.SerialiseInt32("Level", &level, INT_MIN, INT_MAX);
        s.EndNode(nullptr);
    });
    EXPECT_EQ(saved, "<Root FileVersion=\"1.000000\">\n   <Mix_Bus__1_ Level=\"3\"/>\n</Root>\n");

    int32_t level = 0;
    EXPECT_TRUE(Load(saved, [&](cSerialise& s) {
        EXPECT_STREQ(s.GetNodeName(), "Root");
        ASSERT_TRUE(s.BeginNode("Mix Bus (1)", true));
        EXPECT_STREQ(s.GetNodeName(), "Mix_Bus__1_");
        s.SerialiseInt32("level", &level, INT_MIN, INT_MAX);
        s.EndNode(nullptr);
        EXPECT_FALSE(s.BeginNode("Missing", true));
        EXPECT_STREQ(s.GetNodeName(), "Root");
    }));
    EXPECT_EQ(level, 3);

    cGenStringFixed<128> out;
    EXPECT_EQ(cSerialise::SanitiseNodeName("a:b(c),d.e<f>g h", &out), 8);
    EXPECT_STREQ(out.CStr(), "a_b_c__d_e_f_g_h");
    EXPECT_EQ(cSerialise::SanitiseNodeName(nullptr, &out), 0);
    EXPECT_STREQ(out.CStr(), "NoName");
}

TEST(SerialiseXML, ReadsIntegersClampedBeforeNarrowing)
{
    const struct
    {
        const char* stored;
        int32_t int32;    // range 0..100
        int8_t int8;      // range -128..127
        uint8_t uint8;    // range 0..255
        uint16_t uint16;  // range 0..1000
        uint32_t uint32;  // full range
    } cases[] = {
        {"12abc", 12, 12, 12, 12, 12u},
        {"abc", 0, 0, 0, 0, 0u},
        {"  7", 7, 7, 7, 7, 7u},
        {"250", 100, 127, 250, 250, 250u},
        {"300", 100, 127, 255, 300, 300u},
        {"-300", 0, -128, 0, 0, 4294966996u}, // below an unsigned minimum, not wrapped to the top
        {"99999999999", 100, 127, 255, 1000, 4294967295u},
        {"4294967295", 100, 127, 255, 1000, 4294967295u},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.stored);
        int32_t int32 = -1;
        int8_t int8 = -1;
        uint8_t uint8 = 1;
        uint16_t uint16 = 1;
        uint32_t uint32 = 1;
        const std::string v = std::string("\"") + c.stored + "\"";
        EXPECT_TRUE(Load(RootWith("A=" + v + " B=" + v + " C=" + v + " D=" + v + " E=" + v), [&](cSerialise& s) {
            EXPECT_TRUE(s.SerialiseInt32("A", &int32, 0, 100));
            EXPECT_TRUE(s.SerialiseInt8("B", &int8, -128, 127));
            EXPECT_TRUE(s.SerialiseUInt8("C", &uint8, 0, 255));
            EXPECT_TRUE(s.SerialiseUInt16("D", &uint16, 0, 1000));
            EXPECT_TRUE(s.SerialiseUInt32("E", &uint32, 0, UINT32_MAX));
        }));
        EXPECT_EQ(int32, c.int32);
        EXPECT_EQ(int8, c.int8);
        EXPECT_EQ(uint8, c.uint8);
        EXPECT_EQ(uint16, c.uint16);
        EXPECT_EQ(uint32, c.uint32);
    }

    // A range wider than the field still cannot wrap the value around.
    int16_t wide = 0;
    EXPECT_TRUE(Load(RootWith("W=\"70000\""), [&](cSerialise& s) { s.SerialiseInt16("W", &wide, INT_MIN, INT_MAX); }));
    EXPECT_EQ(wide, INT16_MAX);

    // "Any value" for an unsigned field keeps what is stored.
    uint16_t anyUInt16 = 0;
    uint8_t anyUInt8 = 0;
    EXPECT_TRUE(Load(RootWith("U=\"54321\" B=\"200\""), [&](cSerialise& s) {
        s.SerialiseUInt16("U", &anyUInt16, INT_MIN, INT_MAX);
        s.SerialiseUInt8("B", &anyUInt8, INT_MIN, INT_MAX);
    }));
    EXPECT_EQ(anyUInt16, 54321);
    EXPECT_EQ(anyUInt8, 200);

    // A negative text clamps from its signed value: below the minimum.
    uint16_t count = 500;
    EXPECT_TRUE(Load(RootWith("N=\"-1\""), [&](cSerialise& s) { s.SerialiseUInt16("N", &count, 1, 1000); }));
    EXPECT_EQ(count, 1);
}

// A value the document cannot hold (128 MiB and more) fails its save instead
// of writing an empty value and reporting success.
TEST(SerialiseXML, ASaveThatLosesAValueFails)
{
    std::string huge(size_t(130) << 20, 'x');
    juce::String hugeText(huge.c_str());
    File::cFileMemoryWrite stream;
    cSerialiseXML serialiser(1.0f, &stream, 0);
    ASSERT_TRUE(serialiser.Begin());
    EXPECT_FALSE(serialiser.SerialiseChars("Data", huge.data(), int32_t(huge.size() + 1)));
    EXPECT_FALSE(serialiser.SerialiseJuceString("Text", &hugeText));
    cGenString small("kept");
    EXPECT_TRUE(serialiser.SerialiseText("Other", &small));
    EXPECT_FALSE(serialiser.End());
}

TEST(SerialiseXML, ReadsFloatsWithinTheirRange)
{
    const struct
    {
        const char* stored;
        float expected; // range -1..1
    } cases[] = {
        {"0.25", 0.25f}, {"abc", 0.0f}, {"-2", -1.0f}, {"1e50", 1.0f}, {"nan", -1.0f}, {"-inf", -1.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.stored);
        float value = 0.5f;
        EXPECT_TRUE(Load(RootWith(std::string("F=\"") + c.stored + "\""),
                         [&](cSerialise& s) { EXPECT_TRUE(s.SerialiseFloat("F", &value, -1.0f, 1.0f)); }));
        EXPECT_EQ(value, c.expected);
    }
    float huge = 0.0f;
    EXPECT_TRUE(Load(RootWith("F=\"1e50\""), [&](cSerialise& s) { s.SerialiseFloat("F", &huge, -FLT_MAX, FLT_MAX); }));
    EXPECT_EQ(huge, FLT_MAX);
}

TEST(SerialiseXML, ReadsBoolsByWord)
{
    const struct
    {
        const char* stored;
        bool expected;
    } cases[] = {
        {"Yes", true}, {"ON", true}, {"true", true}, {"1", true},
        {"off", false}, {"No", false}, {"0", false}, {"FALSE", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.stored);
        bool value = !c.expected;
        EXPECT_TRUE(Load(RootWith(std::string("B=\"") + c.stored + "\""),
                         [&](cSerialise& s) { EXPECT_TRUE(s.SerialiseBool("B", &value)); }));
        EXPECT_EQ(value, c.expected);
    }

    // Any other word fails to load, and a value that fails to load keeps
    // what it was.
    for (bool before : {false, true})
    {
        bool value = before;
        EXPECT_TRUE(Load(RootWith("B=\"maybe\""), [&](cSerialise& s) { EXPECT_FALSE(s.SerialiseBool("B", &value)); }));
        EXPECT_EQ(value, before);
    }
}

TEST(SerialiseXML, MissingValuesKeepThePreviousValue)
{
    EXPECT_TRUE(Load(RootWith("xMin=\"1\""), [](cSerialise& s) {
        int32_t number = 9;
        bool flag = true;
        float real = 2.5f;
        char chars[8] = "old";
        EXPECT_FALSE(s.SerialiseInt32("Number", &number, INT_MIN, INT_MAX));
        EXPECT_FALSE(s.SerialiseBool("Flag", &flag));
        EXPECT_FALSE(s.SerialiseFloat("Real", &real, -FLT_MAX, FLT_MAX));
        cGenString growable;
        growable.AssignCStr("kept");
        EXPECT_FALSE(s.SerialiseText("Text", &growable));
        EXPECT_EQ(number, 9);
        EXPECT_TRUE(flag);
        EXPECT_EQ(real, 2.5f);
        EXPECT_STREQ(growable.CStr(), "kept");
        // A char buffer is emptied instead.
        EXPECT_FALSE(s.SerialiseChars("Chars", chars, sizeof(chars)));
        EXPECT_STREQ(chars, "");
    }));
}

TEST(SerialiseXML, CharsAreCutToTheBuffer)
{
    char chars[4] = "";
    EXPECT_TRUE(Load(RootWith("C=\"abcdef\""), [&](cSerialise& s) { EXPECT_TRUE(s.SerialiseChars("C", chars, 4)); }));
    EXPECT_STREQ(chars, "abc");
}

TEST(SerialiseXML, CompoundsReportMissingPartsAndKeepTheRest)
{
    const std::string text = "<Root FileVersion=\"1.000000\">\n   <R xMin=\"1\" yMin=\"2\" xMax=\"3\"/>\n</Root>\n";
    EXPECT_TRUE(Load(text, [](cSerialise& s) {
        cRect rect = {9, 9, 9, 9};
        EXPECT_FALSE(s.SerialiseRect("R", &rect, -FLT_MAX, FLT_MAX));
        EXPECT_EQ(rect.xMin, 1.0f);
        EXPECT_EQ(rect.yMin, 2.0f);
        EXPECT_EQ(rect.xMax, 3.0f);
        EXPECT_EQ(rect.yMax, 9.0f);
        cVector2 absent = {7, 7};
        EXPECT_FALSE(s.SerialiseVector2("V", &absent, -FLT_MAX, FLT_MAX));
        EXPECT_EQ(absent.X, 7.0f);
        EXPECT_STREQ(s.GetNodeName(), "Root");
    }));

    const std::string box = Save(1.0f, [](cSerialise& s) {
        cBox b = {1, 2, 3, 4, 5, 6};
        s.SerialiseBox("B", &b, -FLT_MAX, FLT_MAX);
    });
    EXPECT_NE(box.find("<B XMax=\"4.000000\" XMin=\"1.000000\" YMax=\"5.000000\" YMin=\"2.000000\" ZMax=\"6.000000\" "
                       "ZMin=\"3.000000\"/>"),
              std::string::npos)
        << box;
}

TEST(SerialiseXML, EnumsByNameOrNumber)
{
    const std::string saved = Save(1.0f, [](cSerialise& s) {
        int32_t rotary = 1, unknown = 7, negative = -3;
        s.SerialiseEnum("Knob", &rotary, &kKnobTable);
        s.SerialiseEnum("Unknown", &unknown, &kKnobTable);
        s.SerialiseEnum("Negative", &negative, nullptr);
    });
    EXPECT_EQ(saved, RootWith("Knob=\"Rotary\" Unknown=\"7\" Negative=\"-3\""));

    const struct
    {
        const char* stored;
        bool ok;
        int32_t expected;
    } cases[] = {
        {"Rotary", true, 1}, {"ROTARY", true, 1}, {"7", true, 7}, {"-3", true, -3},
        {"", true, 0},       {" 2.0", true, 2},   {"bogus", false, 42}, {"-", false, 42}, {"1-2", false, 42},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.stored);
        int32_t value = 42;
        EXPECT_TRUE(Load(RootWith(std::string("E=\"") + c.stored + "\""),
                         [&](cSerialise& s) { EXPECT_EQ(s.SerialiseEnum("E", &value, &kKnobTable), c.ok); }));
        EXPECT_EQ(value, c.expected);
    }
}

TEST(SerialiseXML, EveryTypeRoundTrips)
{
    struct cRecord
    {
        int32_t int32 = 0;
        uint32_t uint32 = 0;
        int16_t int16 = 0;
        uint16_t uint16 = 0;
        int8_t int8 = 0;
        uint8_t uint8 = 0;
        float real = 0;
        bool flag = false;
        int32_t choice = 0;
        cGenString text;
        cGenString genString;
        juce::String juceString;
        char chars[32] = "";
        unsigned char bytes[16] = "";
        cRect rect = {};
        cVector2 v2 = {};
        cVector3 v3 = {};
        cVector4 v4 = {};
        cQuaternion q = {};
        cMatrix33 m33 = {};
        cMatrix43 m43 = {};
        cMatrix44 m44 = {};
        cPlane plane = {};
        cSphere sphere = {};
        cBox box = {};

        void Serialise(cSerialise& s)
        {
            ASSERT_TRUE(s.BeginNode("Values", true));
            EXPECT_TRUE(s.SerialiseInt32("Int32", &int32, INT_MIN, INT_MAX));
            EXPECT_TRUE(s.SerialiseUInt32("UInt32", &uint32, 0, UINT32_MAX));
            EXPECT_TRUE(s.SerialiseInt16("Int16", &int16, INT16_MIN, INT16_MAX));
            EXPECT_TRUE(s.SerialiseUInt16("UInt16", &uint16, 0, UINT16_MAX));
            EXPECT_TRUE(s.SerialiseInt8("Int8", &int8, INT8_MIN, INT8_MAX));
            EXPECT_TRUE(s.SerialiseUInt8("UInt8", &uint8, 0, UINT8_MAX));
            EXPECT_TRUE(s.SerialiseFloat("Real", &real, -FLT_MAX, FLT_MAX));
            EXPECT_TRUE(s.SerialiseBool("Flag", &flag));
            EXPECT_TRUE(s.SerialiseEnum("Choice", &choice, &kKnobTable));
            EXPECT_TRUE(s.SerialiseText("Text", &text));
            EXPECT_TRUE(s.SerialiseGenString("GenString", &genString));
            EXPECT_TRUE(s.SerialiseJuceString("Juce", &juceString));
            EXPECT_TRUE(s.SerialiseChars("Chars", chars, sizeof(chars)));
            EXPECT_TRUE(s.SerialiseBytes("Bytes", bytes, sizeof(bytes)));
            s.EndNode(nullptr);
            EXPECT_TRUE(s.SerialiseRect("Rect", &rect, -FLT_MAX, FLT_MAX));
            EXPECT_TRUE(s.SerialiseVector2("V2", &v2, -FLT_MAX, FLT_MAX));
            EXPECT_TRUE(s.SerialiseVector3("V3", &v3, -FLT_MAX, FLT_MAX));
            EXPECT_TRUE(s.SerialiseVector4("V4", &v4, -FLT_MAX, FLT_MAX));
            EXPECT_TRUE(s.SerialiseQuaternion("Q", &q, -FLT_MAX, FLT_MAX));
            EXPECT_TRUE(s.SerialiseMatrix33("M33", &m33, -FLT_MAX, FLT_MAX));
            EXPECT_TRUE(s.SerialiseMatrix43("M43", &m43, -FLT_MAX, FLT_MAX));
            EXPECT_TRUE(s.SerialiseMatrix44("M44", &m44, -FLT_MAX, FLT_MAX));
            EXPECT_TRUE(s.SerialisePlane("Plane", &plane, -FLT_MAX, FLT_MAX));
            EXPECT_TRUE(s.SerialiseSphere("Sphere", &sphere, -FLT_MAX, FLT_MAX));
            EXPECT_TRUE(s.SerialiseBox("Box", &box, -FLT_MAX, FLT_MAX));
        }
    };

    cRecord out;
    out.int32 = INT_MIN;
    out.uint32 = UINT32_MAX;
    out.int16 = -12345;
    out.uint16 = 54321;
    out.int8 = -100;
    out.uint8 = 200;
    out.real = -1234.5f;
    out.flag = true;
    out.choice = 1;
    out.text.AssignCStr("R&B; live <mix>");
    out.genString.AssignCStr("say \"hi\" it's");
    out.juceString = juce::String::fromUTF8("Caf\xC3\xA9 \"Z\"");
    std::strcpy(out.chars, "chars 'q'");
    std::memcpy(out.bytes, "QUJD+/==", 9);
    out.rect = {1, 2, 3, 4};
    out.v2 = {5, 6};
    out.v3 = {7, 8, 9};
    out.v4 = {10, 11, 12, 13};
    out.q = {0.5f, -0.5f, 0.25f, 1};
    out.m33 = {{0, 1, 2}, {1, 2, 3}, {2, 3, 4}};
    out.m43 = {{0, 0, 0}, {-1, 2, 3}, {-2, 4, 6}, {-3, 6, 9}};
    out.m44 = {{0, 0, 0, 0.5f}, {1, -1, 4, 1.5f}, {2, -2, 8, 2.5f}, {3, -3, 12, 3.5f}};
    out.plane = {{0, 1, 0}, -2};
    out.sphere = {{1, 2, 3}, 4};
    out.box = {-1, -2, -3, 1, 2, 3};

    const std::string saved = Save(6.0f, [&](cSerialise& s) { out.Serialise(s); });
    cRecord in;
    EXPECT_TRUE(Load(saved, [&](cSerialise& s) { in.Serialise(s); }, 6.0f));
    EXPECT_EQ(Save(6.0f, [&](cSerialise& s) { in.Serialise(s); }), saved);
    EXPECT_EQ(in.int32, out.int32);
    EXPECT_EQ(in.uint32, out.uint32);
    EXPECT_EQ(in.int8, out.int8);
    EXPECT_EQ(in.real, out.real);
    EXPECT_STREQ(in.text.CStr(), out.text.CStr());
    EXPECT_STREQ(in.genString.CStr(), out.genString.CStr());
    EXPECT_TRUE(in.juceString == out.juceString);
    EXPECT_STREQ(in.chars, out.chars);
    EXPECT_EQ(in.m44.Row3.W, out.m44.Row3.W);
    EXPECT_EQ(in.box.ZMin, out.box.ZMin);

    // A pooled document reads the same values.
    cRecord pooled;
    EXPECT_TRUE(Load(saved, [&](cSerialise& s) { pooled.Serialise(s); }, 6.0f, cSerialiseXML::kFlagPooled));
    EXPECT_EQ(Save(6.0f, [&](cSerialise& s) { pooled.Serialise(s); }), saved);
}

TEST(SerialiseXML, ListsAreRunsOfSiblings)
{
    const std::string saved = Save(1.0f, [](cSerialise& s) {
        for (int32_t i = 0; i < 3; ++i)
        {
            s.BeginNode("Pad", true);
            s.SerialiseInt32("N", &i, INT_MIN, INT_MAX);
            s.EndNode(nullptr);
        }
        s.BeginNode("Other", true);
        s.EndNode(nullptr);
    });
    EXPECT_TRUE(Load(saved, [](cSerialise& s) {
        EXPECT_EQ(s.CountNodes("pad"), 3);
        EXPECT_EQ(s.CountNodes(nullptr), 4);
        int32_t expected = 0;
        ASSERT_TRUE(s.BeginNode("Pad", true));
        do
        {
            int32_t n = -1;
            s.SerialiseInt32("N", &n, INT_MIN, INT_MAX);
            EXPECT_EQ(n, expected++);
        } while (s.NextNode("Pad"));
        EXPECT_EQ(expected, 3);
        EXPECT_TRUE(s.FirstNode("Other"));
        EXPECT_STREQ(s.GetNodeName(), "Other");
        s.EndNode(nullptr);
    }));
}

// Readers that do not know the names in advance (a rack's nodes) walk the
// children with a null name and ask each for its name.
TEST(SerialiseXML, ChildrenOfAnyNameAreWalkedInFileOrder)
{
    const std::string text = "<Root FileVersion=\"1.000000\">\n   <Nodes>\n      <SLOT2 N=\"2\"/>\n      <!--x-->\n"
                             "      <IN N=\"0\"/>\n      <OUT N=\"9\"/>\n   </Nodes>\n</Root>\n";
    std::string walked;
    EXPECT_TRUE(Load(text, [&](cSerialise& s) {
        ASSERT_TRUE(s.BeginNode("Nodes", true));
        ASSERT_TRUE(s.BeginNode(nullptr, true));
        do
        {
            int32_t n = -1;
            EXPECT_TRUE(s.SerialiseInt32("N", &n, INT_MIN, INT_MAX));
            walked += std::string(s.GetNodeName()) + "=" + std::to_string(n) + " ";
        } while (s.NextNode(nullptr));
        s.EndNode(nullptr);
        EXPECT_STREQ(s.GetNodeName(), "Nodes");
        s.EndNode(nullptr);
        EXPECT_FALSE(s.BeginNode("Empty", true));
    }));
    EXPECT_EQ(walked, "SLOT2=2 IN=0 OUT=9 ");
}

TEST(SerialiseXML, BeginChecksTheDocumentAndReportsTheVersion)
{
    float version = 0;
    EXPECT_TRUE(Load("<Root FileVersion=\"1.5\"/>", [&](cSerialise& s) { version = s.GetReadVersion(); }));
    EXPECT_EQ(version, 1.5f);

    const char* unreadable[] = {"", "<Root FileVersion=\"1.0\">", "<Other/>", "<!-- only -->"};
    for (const char* text : unreadable)
    {
        SCOPED_TRACE(text);
        EXPECT_FALSE(Load(text, [](cSerialise&) {}));
    }

    // A failed Begin leaves nothing to print and the node operations inert.
    File::cFileMemoryRead stream(reinterpret_cast<const uint8_t*>("<Root"), 5);
    cSerialiseXML serialiser(1.0f, &stream, 0);
    EXPECT_FALSE(serialiser.Begin());
    EXPECT_FALSE(serialiser.FirstNode("Root"));
    EXPECT_FALSE(serialiser.BeginNode("Root", true));
    int32_t untouched = 5;
    EXPECT_FALSE(serialiser.SerialiseInt32("X", &untouched, INT_MIN, INT_MAX));
    EXPECT_EQ(untouched, 5);
    EXPECT_TRUE(serialiser.EndNode(nullptr));
    EXPECT_TRUE(serialiser.End());
}

TEST(SerialiseXML, RewritingAnAttributeKeepsItsPlace)
{
    const std::string saved = Save(1.0f, [](cSerialise& s) {
        int32_t a = 1, b = 2, again = 3;
        s.SerialiseInt32("A", &a, INT_MIN, INT_MAX);
        s.SerialiseInt32("B", &b, INT_MIN, INT_MAX);
        s.SerialiseInt32("a", &again, INT_MIN, INT_MAX);
    });
    EXPECT_EQ(saved, RootWith("A=\"3\" B=\"2\""));
}

namespace
{
// A stream opened for reading and writing: reads the given text, collects
// what is written.
class cUpdateStream : public File::cFile
{
public:
    explicit cUpdateStream(const std::string& text)
        : cFile(nullptr, "Update", int(text.size()), File::kModeUpdate, 0), mText(text)
    {
    }
    int Read(void* buffer, int count) override
    {
        count = std::min(count, int(mText.size()) - mPosition);
        std::memcpy(buffer, mText.data() + mPosition, size_t(count));
        mPosition += count;
        return count;
    }
    int Write(const void* buffer, int count) override
    {
        written.append(static_cast<const char*>(buffer), size_t(count));
        return count;
    }
    int Seek(int offset, int) override { return mPosition = offset; }
    int Tell() override { return mPosition; }
    int GetRemaining() override { return int(mText.size()) - mPosition; }
    bool Close(bool) override { return true; }

    std::string written;

private:
    std::string mText;
    int mPosition = 0;
};
} // namespace

TEST(SerialiseXML, UpdateModeReadsUnlessAskedToWrite)
{
    const std::string text = RootWith("A=\"4\"");
    {
        cUpdateStream stream(text);
        cSerialiseXML serialiser(1.0f, &stream, 0);
        ASSERT_TRUE(serialiser.Begin());
        EXPECT_FALSE(serialiser.IsSaving());
        int32_t a = 0;
        EXPECT_TRUE(serialiser.SerialiseInt32("A", &a, INT_MIN, INT_MAX));
        EXPECT_EQ(a, 4);
        serialiser.End();
        EXPECT_EQ(stream.written, "");
    }
    {
        cUpdateStream stream(text);
        cSerialiseXML serialiser(1.0f, &stream, cSerialise::kFlagUpdateWrites);
        ASSERT_TRUE(serialiser.Begin());
        EXPECT_TRUE(serialiser.IsSaving());
        // Update writes reuse an element of the name before making one.
        ASSERT_TRUE(serialiser.BeginNode("Group", true));
        EXPECT_TRUE(serialiser.FirstNode("Group"));
        EXPECT_TRUE(serialiser.NextNode("Group"));
        serialiser.EndNode(nullptr);
        serialiser.End();
        EXPECT_EQ(stream.written, "<Root FileVersion=\"1.000000\">\n   <Group/>\n   <Group/>\n</Root>\n");
    }
}

namespace
{
class cRefusingStream : public File::cFileMemoryWrite
{
public:
    int Write(const void*, int) override { return 0; }
};
} // namespace

TEST(SerialiseXML, EndReportsASaveTheStreamRefused)
{
    cRefusingStream stream;
    cSerialiseXML serialiser(1.0f, &stream, 0);
    ASSERT_TRUE(serialiser.Begin());
    EXPECT_FALSE(serialiser.End());
}

// Saves on two threads at once each get their own formatting scratch.
TEST(SerialiseXML, ConcurrentSavesDoNotMixTheirText)
{
    auto saveMany = [](char fill, std::string* result) {
        const std::string value(3000, fill);
        *result = Save(1.0f, [&](cSerialise& s) {
            for (int i = 0; i < 200; ++i)
            {
                cGenString text;
                text.AssignCStr(value.c_str());
                s.BeginNode("Item", true);
                s.SerialiseText("V", &text);
                s.EndNode(nullptr);
            }
        });
    };
    std::string a, b;
    std::thread first(saveMany, 'a', &a);
    std::thread second(saveMany, 'b', &b);
    first.join();
    second.join();
    EXPECT_EQ(a.find('b'), std::string::npos);
    EXPECT_EQ(b.find('a'), std::string::npos);
    EXPECT_EQ(a.size(), b.size());
}

// Whatever the serialiser writes is well-formed for other XML readers too.
TEST(SerialiseXML, WrittenFilesPassAnXMLChecker)
{
    ASSERT_EQ(std::system("command -v xmllint >/dev/null 2>&1"), 0)
        << "xmllint is not installed; scripts/setup-deps installs it";
    const std::string folder = TestScratchFolder();

    const std::string documents[] = {
        Save(1.0f, [](cSerialise&) {}),
        Save(6.0f,
             [](cSerialise& s) {
                 cGenString ampersand, quotes, lessThan, base64;
                 ampersand.AssignCStr("R&B; live");
                 quotes.AssignCStr("both \" and ' quotes");
                 lessThan.AssignCStr("<Init> > 3");
                 std::string data;
                 for (int line = 0; line < 200; ++line)
                     data += "QUJDREVGR0hJSktMTU5PUFFSU1RVVldYWVphYmNkZWZnaGlqa2xtbm9wcXJzdHV2d3h5ejAx\r\n";
                 base64.AssignCStr(data.c_str());
                 s.BeginNode("Mix Bus (1)", true);
                 s.SerialiseText("Name", &ampersand);
                 s.SerialiseText("Quotes", &quotes);
                 s.SerialiseText("Less", &lessThan);
                 s.BeginNode("Preset", true);
                 s.SerialiseText("Data", &base64);
                 s.EndNode(nullptr);
                 s.EndNode(nullptr);
             }),
    };
    int index = 0;
    for (const std::string& document : documents)
    {
        const std::string path = folder + "/xml-check-" + std::to_string(index++) + ".xml";
        std::ofstream(path, std::ios::binary) << document;
        EXPECT_EQ(std::system(("xmllint --noout '" + path + "'").c_str()), 0) << document.substr(0, 400);
        std::remove(path.c_str());
    }
}
