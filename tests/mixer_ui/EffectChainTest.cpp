#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "BuildPaths.h"
#include "DeskFixture.h"
#include "base/DeletableRoots.h"
#include "base/FileSystemDisk.h"
#include "base/FileSystemRegistry.h"
#include "base/FileTestFolder.h"
#include "mixer/Effect.h"
#include "mixer/EffectChainFile.h"
#include "mixer/EffectRack.h"
#include "mixer/ui/EffectRackNodeUI.h"
#include "mixer/ui/EffectRackUI.h"
#include "mixer/ui/EffectSelectUI.h"
#include "mixer/ui/EffectUI.h"
#include "mixer/ui/MixingDeskFaders.h"
#include "ui/WidgetButton.h"
#include "ui/WidgetList.h"

namespace
{
// A unit whose effects cannot be made.
class cBrokenPackage : public cEffectPackage
{
public:
    cBrokenPackage() : cEffectPackage("BROKEN", "Broken", "Makes nothing") {}
    cEffect* CreateEffect() override { return nullptr; }
};

// A chain editor on a 1024 x 768 screen, with a "Doc" mount for chain files.
class EffectChain : public DeskFixture
{
protected:
    EffectChain()
    {
        renderer.SetScreenSize(1024.0f, 768.0f);
        manager->SetScreenRect({0.0f, 0.0f, 1024.0f, 768.0f});
        AddDeletableRoot(folder.Path().c_str());
        files.Mount(new File::cFileSystemDisk("Doc", folder.Path().c_str()));
        rack.BuildInsertChain();
        chain = Place(new cEffectRackUI(), {0.0f, 300.0f, 900.0f, 700.0f});
        chain->SetRack(&rack);
        Frame();
    }
    ~EffectChain() override
    {
        chain->SetRack(nullptr);
        root->RemoveChild(chain);
        ClearDeletableRoots();
    }

    cEffectRackNodeUI* Strip() const { return chain->GetNodeStrip(); }
    cEffectSelectUI* Chooser() const { return Strip()->GetChooser(); }
    const cEffectRackNodeUI::cButton& Button(int32_t index) const { return Strip()->GetButtons()[size_t(index)]; }
    cVector2 CentreOf(int32_t index) const
    {
        const cRect& r = Button(index).rect;
        return {(r.xMin + r.xMax) * 0.5f, (r.yMin + r.yMax) * 0.5f};
    }
    cEffectRackNode* Slot(int32_t n) const
    {
        return rack.FindNode(("SLOT" + std::to_string(n)).c_str());
    }
    void Install(int32_t slot, const char* unit) { Slot(slot)->SetEffect(gEffectRegistry->CreateEffect(unit), true); }
    static const char* UnitOf(const cEffectRackNode* node)
    {
        return node && node->GetEffect() ? node->GetEffect()->GetPackage()->GetShortName() : "";
    }
    std::vector<std::string> Order(const cEffectRack& r) const
    {
        std::vector<std::string> names;
        for (cEffectRackNode* node = r.GetFirst(); node; node = node->GetNext())
            names.push_back(node->GetName().CStr());
        return names;
    }
    // Holds a slot's button until the chooser opens.
    void HoldButton(int32_t index)
    {
        const cVector2 centre = CentreOf(index);
        Down(1, centre.X, centre.Y);
        Frame(int(cEffectRackNodeUI::kHoldSeconds * 60.0f) + 2);
        Up(1, centre.X, centre.Y);
        Frame();
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(folder / name);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void Write(const std::string& name, const std::string& text) const
    {
        std::filesystem::create_directories(std::filesystem::path(folder / name).parent_path());
        std::ofstream(folder / name) << text;
    }
    // The chooser's request for the slot, then "Load Chain" or "Save Chain" and the file.
    void ChooseChainFile(int32_t button, const char* path)
    {
        Chooser()->Show(chain, Slot(1), cDelegate(this, &EffectChain::OnResult));
        Chooser()->OnButton(0, Chooser()->GetButton(button));
        host.Choose(path);
        Frame();
    }
public:
    intptr_t OnResult(cEffectRackNode* node, cEffectPackage* package)
    {
        results.push_back({node, package});
        return 0;
    }

protected:
    cFileTestFolder folder;
    cFileSystemRegistry files;
    cEffectRack rack;
    cEffectRackUI* chain = nullptr;
    std::vector<std::pair<cEffectRackNode*, cEffectPackage*>> results;
};

TEST_F(EffectChain, NoRackShowsNothing)
{
    Install(2, "EQ-3B");
    chain->SetRack(&rack);
    Frame();
    EXPECT_EQ(chain->GetEditorArea()->GetChildCount(), 1);
    EXPECT_EQ(chain->GetPlaceholderCount(), 3);
    chain->SetRack(nullptr);
    Frame();
    EXPECT_EQ(chain->GetEditorArea()->GetChildCount(), 0);
    EXPECT_EQ(chain->GetPlaceholderCount(), 0);
    EXPECT_TRUE(Strip()->GetButtons().empty());
}

TEST_F(EffectChain, ARackOfTheSameUnitsKeepsItsEditorsAndShowsItsFirstRow)
{
    Install(1, "EQ-3B");
    Install(3, "Q-HALLS");
    chain->SetRack(&rack);
    cEffectUI* eq = chain->FindEditor(Slot(1)->GetEffect());
    cEffectUI* reverb = chain->FindEditor(Slot(3)->GetEffect());
    ASSERT_NE(eq, nullptr);
    ASSERT_NE(reverb, nullptr);
    chain->SetTargetRow(1);
    cEffectRack other;
    other.BuildInsertChain();
    other.FindNode("SLOT4")->SetEffect(gEffectRegistry->CreateEffect("EQ-3B"), true);
    other.FindNode("SLOT2")->SetEffect(gEffectRegistry->CreateEffect("Q-HALLS"), true);
    chain->SetRack(&other);
    EXPECT_EQ(chain->FindEditor(other.FindNode("SLOT4")->GetEffect()), eq);
    EXPECT_EQ(chain->FindEditor(other.FindNode("SLOT2")->GetEffect()), reverb);
    EXPECT_EQ(chain->GetTargetRow(), 0);
    EXPECT_EQ(chain->GetScrollPosition(), 0.0f);
    chain->SetRack(&rack);
}

TEST_F(EffectChain, ThreeSlotsOnAWideEditorFillTwoRowsOfTwoColumns)
{
    Show(WidthForColumns(5), 400.0f);
    cEffectRack& master = desk->GetMaster()->insertRack;
    chain->SetRack(&master);
    Frame();
    EXPECT_EQ(chain->GetColumns(), 2);
    EXPECT_EQ(chain->GetSlotCount(), 3);
    ASSERT_EQ(chain->GetPlaceholderCount(), 3);
    const auto& p = [&](int i) { return chain->GetPlaceholder(i).centre; };
    EXPECT_EQ(p(0).Y, p(1).Y);
    EXPECT_LT(p(0).X, p(1).X);
    EXPECT_EQ(p(2).Y, p(0).Y + cEffectRackUI::kRowHeight);
    EXPECT_EQ(p(2).X, p(0).X);
    Frame();
    EXPECT_TRUE(FindText("3. NO FX").has_value());
    EXPECT_TRUE(FindText("Hold a button on the effect chain to manage effects").has_value());
    chain->SetRack(&rack);
}

TEST_F(EffectChain, HoldingASlotOpensTheChooserWhereThePartPutsIt)
{
    HoldButton(1);
    ASSERT_TRUE(Chooser()->IsShown());
    EXPECT_EQ(Strip()->GetSelectedIndex(), 1);
    const cRect& rect = Chooser()->GetRect();
    EXPECT_EQ(rect.xMin, 292.0f);
    EXPECT_EQ(rect.yMin, 241.0f);
    EXPECT_EQ(rect.xMax, 732.0f);
    EXPECT_EQ(rect.yMax, 607.0f);
    // Closed without a choice: nothing changes, the selection goes.
    Chooser()->OnDismiss(1);
    Frame(30);
    EXPECT_FALSE(Chooser()->IsShown());
    EXPECT_EQ(Slot(1)->GetEffect(), nullptr);
    EXPECT_EQ(Strip()->GetSelectedIndex(), -1);
}

TEST_F(EffectChain, AShortPressChangesNothing)
{
    const cVector2 centre = CentreOf(2);
    Down(1, centre.X, centre.Y);
    Frame(30);
    Move(1, centre.X + 20.0f, centre.Y);
    Up(1, centre.X + 20.0f, centre.Y);
    Frame(30);
    EXPECT_FALSE(Chooser()->IsShown());
    EXPECT_EQ(Order(rack), (std::vector<std::string>{"IN", "SLOT1", "SLOT2", "SLOT3", "SLOT4", "OUT"}));
    EXPECT_FALSE(modified.load());
}

TEST_F(EffectChain, ChoosingEffectsFillsAndEmptiesSlots)
{
    cEffectPackage* eq = gEffectRegistry->FindPackage("EQ-3B");
    chain->SetNodeEffect(Slot(1), eq);
    cEffect* effect = Slot(1)->GetEffect();
    ASSERT_NE(effect, nullptr);
    EXPECT_TRUE(effect->IsEnabled());
    EXPECT_TRUE(modified.load());
    EXPECT_NE(chain->FindEditor(effect), nullptr);
    // The same unit again keeps the effect and its settings.
    chain->SetNodeEffect(Slot(1), eq);
    EXPECT_EQ(Slot(1)->GetEffect(), effect);
    // A unit that cannot make its effect leaves the slot as it was.
    cBrokenPackage broken;
    chain->SetNodeEffect(Slot(1), &broken);
    EXPECT_EQ(Slot(1)->GetEffect(), effect);
    chain->SetNodeEffect(Slot(1), nullptr);
    EXPECT_EQ(Slot(1)->GetEffect(), nullptr);
    EXPECT_EQ(chain->GetEditorArea()->GetChildCount(), 0);
    Frame();
    EXPECT_TRUE(FindText("1. NO FX").has_value());
    EXPECT_STREQ(Button(1).label1.CStr(), "NO FX");
}

// Dragging a slot's button: (source, target) buttons and the order after.
TEST_F(EffectChain, DropsReorderTheRunOfMovableNodes)
{
    const struct
    {
        int32_t source, target;
        std::vector<std::string> order;
    } drops[] = {
        {1, 1, {"IN", "SLOT1", "SLOT2", "SLOT3", "SLOT4", "OUT"}},
        {1, 2, {"IN", "SLOT1", "SLOT2", "SLOT3", "SLOT4", "OUT"}},
        {1, 5, {"IN", "SLOT2", "SLOT3", "SLOT4", "SLOT1", "OUT"}},
        {3, 1, {"IN", "SLOT3", "SLOT1", "SLOT2", "SLOT4", "OUT"}},
        {2, 0, {"IN", "SLOT2", "SLOT1", "SLOT3", "SLOT4", "OUT"}}, // IN is no place: the run starts at 1
    };
    for (const auto& drop : drops)
    {
        cEffectRack fresh;
        fresh.BuildInsertChain();
        chain->SetRack(&fresh);
        Frame();
        const cVector2 from = CentreOf(drop.source);
        const float to = Button(drop.target).rect.xMin;
        Down(1, from.X, from.Y);
        Move(1, from.X + (to > from.X ? 40.0f : -40.0f), from.Y);
        Move(1, to, from.Y);
        Up(1, to, from.Y);
        Frame();
        EXPECT_EQ(Order(fresh), drop.order) << drop.source << " to " << drop.target;
        EXPECT_FALSE(Chooser()->IsShown());
        chain->SetRack(&rack);
    }
    EXPECT_EQ(host.messages.front(), "HOLD or DRAG FX chain");
    EXPECT_EQ(host.lastSeconds, 2.5f);
}

TEST_F(EffectChain, TheChooserListsNoneAndTheFiveUnitsWithTheSlotsUnitSelected)
{
    Install(2, "EQ-3B");
    const struct
    {
        int32_t slot;
        const char* selected;
    } cases[] = {{2, "EQ-3B"}, {1, "None"}};
    for (const auto& c : cases)
    {
        Chooser()->Show(chain, Slot(c.slot), cDelegate(this, &EffectChain::OnResult));
        std::vector<std::string> names, selected;
        cWidgetList::cDataSource& items = const_cast<cEffectSelectUI::cEffectListDataSource&>(Chooser()->GetItems());
        for (cWidgetList::cItem* item = items.GetFirstChild(nullptr); item; item = items.GetNext(item))
        {
            const auto* row = static_cast<cEffectListItem*>(item);
            names.push_back(row->package ? row->package->GetShortName() : "None");
            if (row->flags & cWidgetList::kItemSelected)
                selected.push_back(names.back());
        }
        EXPECT_EQ(names, (std::vector<std::string>{"None", "QDL-5", "EQ-3B", "VELTRIX", "9TH HARBOR", "Q-HALLS"}));
        EXPECT_EQ(selected, std::vector<std::string>{c.selected});
        Chooser()->OnDismiss(1);
    }
    EXPECT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].first, nullptr);
}

TEST_F(EffectChain, OKPutsTheChosenUnitInTheSlot)
{
    HoldButton(3);
    cWidgetList::cDataSource& items = const_cast<cEffectSelectUI::cEffectListDataSource&>(Chooser()->GetItems());
    cWidgetList::cItem* reverb = items.GetFirstChild(nullptr);
    for (int i = 0; i < 5; ++i)
        reverb = items.GetNext(reverb);
    Chooser()->OnItemSelected(Chooser()->GetList(), reverb);
    Chooser()->OnButton(0, Chooser()->GetButton(cEffectSelectUI::kButtonOK));
    Frame();
    EXPECT_STREQ(UnitOf(Slot(3)), "Q-HALLS");
    EXPECT_STREQ(Button(3).label1.CStr(), "Q-HALLS");
    EXPECT_EQ(Strip()->GetSelectedIndex(), -1);
}

TEST_F(EffectChain, ACancelledBrowserReturnsToTheChooser)
{
    Install(1, "VELTRIX");
    Chooser()->Show(chain, Slot(1), cDelegate(this, &EffectChain::OnResult));
    Chooser()->OnButton(0, Chooser()->GetButton(cEffectSelectUI::kButtonLoad));
    EXPECT_FALSE(Chooser()->IsVisible());
    EXPECT_TRUE(Chooser()->IsShown());
    EXPECT_EQ(Chooser()->GetMode(), cEffectSelectUI::kModeLoad);
    ASSERT_EQ(host.browserTitles, std::vector<std::string>{"Load Effects Chain"});
    EXPECT_EQ(host.browserRoot, "User/FX Favourites");
    EXPECT_EQ(host.browserExtension, "qfx");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "User/FX Favourites"));
    host.Cancel();
    EXPECT_TRUE(Chooser()->IsVisible());
    EXPECT_TRUE(Chooser()->IsShown());
    EXPECT_EQ(Chooser()->GetMode(), cEffectSelectUI::kModeIdle);
    EXPECT_STREQ(Chooser()->GetChosenPackage()->GetShortName(), "VELTRIX");
    EXPECT_TRUE(results.empty());
    Chooser()->OnDismiss(1);
}

TEST_F(EffectChain, ClearingAsksFirst)
{
    Install(1, "EQ-3B");
    Install(4, "QDL-5");
    Chooser()->Show(chain, Slot(1), cDelegate(this, &EffectChain::OnResult));
    Chooser()->OnButton(0, Chooser()->GetButton(cEffectSelectUI::kButtonClear));
    EXPECT_STREQ(host.alert->GetName(), "Clear Effects Chain");
    EXPECT_STREQ(host.alert->firstLine.CStr(), "Are you sure you want to remove all");
    EXPECT_STREQ(host.alert->secondLine.CStr(), "effects from the chain?");
    host.alert->Hide();
    Frame(30);
    Chooser()->OnClearConfirmed(kAlertCancel, host.alert);
    EXPECT_STREQ(UnitOf(Slot(1)), "EQ-3B");
    EXPECT_TRUE(Chooser()->IsShown());
    EXPECT_FALSE(modified.load());
    Chooser()->OnButton(0, Chooser()->GetButton(cEffectSelectUI::kButtonClear));
    // The alert reports once it has left the screen.
    host.alert->Hide();
    Frame(30);
    Chooser()->OnClearConfirmed(kAlertOK, host.alert);
    EXPECT_EQ(Slot(1)->GetEffect(), nullptr);
    EXPECT_EQ(Slot(4)->GetEffect(), nullptr);
    Frame(30);
    EXPECT_FALSE(Chooser()->IsShown());
    // A clear changes the project: closing it must not lose that.
    EXPECT_TRUE(modified.load());
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].first, nullptr);
}

TEST_F(EffectChain, AChainFileRoundTripsAndKeepsTheOldOneAsBackup)
{
    Install(1, "EQ-3B");
    Install(3, "Q-HALLS");
    ChooseChainFile(cEffectSelectUI::kButtonSave, "User/FX Favourites/Hall.qfx");
    EXPECT_EQ(host.messages.back(), "Saved 'Hall.qfx'");
    EXPECT_EQ(host.lastSeconds, 2.5f);
    Install(2, "VELTRIX");
    ChooseChainFile(cEffectSelectUI::kButtonSave, "User/FX Favourites/Hall.qfx");
    EXPECT_NE(Read("User/FX Favourites/Hall.qfx").find("VELTRIX"), std::string::npos);
    EXPECT_EQ(Read("User/FX Favourites/Hall.qfx.bak").find("VELTRIX"), std::string::npos);
    EXPECT_NE(Read("User/FX Favourites/Hall.qfx.bak").find("Q-HALLS"), std::string::npos);
    EXPECT_FALSE(modified.load());

    rack.RemoveEffects();
    chain->SetRack(&rack);
    ChooseChainFile(cEffectSelectUI::kButtonLoad, "User/FX Favourites/Hall.qfx");
    EXPECT_STREQ(UnitOf(Slot(1)), "EQ-3B");
    EXPECT_STREQ(UnitOf(Slot(2)), "VELTRIX");
    EXPECT_STREQ(UnitOf(Slot(3)), "Q-HALLS");
    EXPECT_NE(chain->FindEditor(Slot(3)->GetEffect()), nullptr);
    EXPECT_EQ(host.messages.back(), "Loaded 'Hall.qfx'");
    EXPECT_TRUE(modified.load());
    EXPECT_STREQ(Chooser()->GetLastChainPath(), "User/FX Favourites/Hall.qfx");
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results.back().first, nullptr);
    Frame(30);
    EXPECT_FALSE(Chooser()->IsShown());
}

TEST_F(EffectChain, AChannelChainLoadsIntoTheMastersRack)
{
    Install(1, "EQ-3B");
    Install(2, "QDL-5");
    Install(3, "VELTRIX");
    Install(4, "Q-HALLS");
    ASSERT_TRUE(EffectChainFile::Save(files.FindFileSystem("Doc"), "Four.qfx", rack));
    cEffectRack& master = desk->GetMaster()->insertRack;
    ASSERT_TRUE(EffectChainFile::Load(files.FindFileSystem("Doc"), "Four.qfx", master));
    EXPECT_EQ(Order(master), (std::vector<std::string>{"IN", "SLOT1", "SLOT2", "SLOT3", "RETURNS", "OUT"}));
    EXPECT_STREQ(UnitOf(master.FindNode("SLOT1")), "EQ-3B");
    EXPECT_STREQ(UnitOf(master.FindNode("SLOT2")), "QDL-5");
    EXPECT_STREQ(UnitOf(master.FindNode("SLOT3")), "VELTRIX");
}

TEST_F(EffectChain, UnknownAndUnofferedTypesLeaveTheirSlotsEmpty)
{
    Install(3, "EQ-3B");
    Write("Odd.qfx", "<Root FileVersion=\"1.0\"><Nodes><IN/><SLOT1 Type=\"FILTER-1B\"><Patch/></SLOT1>"
                     "<SLOT2 Type=\"NOPE\"><Patch/></SLOT2><SLOT4 Type=\"QDL-5\"><Patch/></SLOT4><OUT/></Nodes></Root>");
    ASSERT_TRUE(EffectChainFile::Load(files.FindFileSystem("Doc"), "Odd.qfx", rack));
    EXPECT_EQ(Slot(1)->GetEffect(), nullptr);
    EXPECT_EQ(Slot(2)->GetEffect(), nullptr);
    EXPECT_STREQ(UnitOf(Slot(3)), "EQ-3B"); // not named: kept
    EXPECT_STREQ(UnitOf(Slot(4)), "QDL-5");
}

// Chain files saved from a channel and from the master, and one with units
// the chooser does not offer, are left under "fuzz-seeds/rack_body" for the
// rack-body fuzz target to start from; each reads back into a rack.
TEST_F(EffectChain, ChainFilesSeedTheRackBodyFuzzTarget)
{
    Install(1, "EQ-3B");
    Install(2, "QDL-5");
    Install(3, "VELTRIX");
    Install(4, "Q-HALLS");
    File::cFileSystem* documents = files.FindFileSystem("Doc");
    ASSERT_TRUE(EffectChainFile::Save(documents, "Channel.qfx", rack));
    cEffectRack& master = desk->GetMaster()->insertRack;
    master.FindNode("SLOT2")->SetEffect(gEffectRegistry->CreateEffect("9TH HARBOR"), true);
    ASSERT_TRUE(EffectChainFile::Save(documents, "Master.qfx", master));
    Write("Odd.qfx", "<Root FileVersion=\"1.0\"><Nodes><OUT/><SLOT2 Type=\"FILTER-1B\"><Patch/></SLOT2>"
                     "<SLOT1 Type=\"NOPE\"/><RETURNS/><IN/></Nodes></Root>");
    const std::filesystem::path seeds = std::filesystem::path(TestScratchFolder()) / "fuzz-seeds" / "rack_body";
    std::filesystem::create_directories(seeds);
    for (const char* name : {"Channel.qfx", "Master.qfx", "Odd.qfx"})
    {
        std::filesystem::copy_file(folder / name, seeds / name, std::filesystem::copy_options::overwrite_existing);
        cEffectRack reader;
        reader.BuildInsertChain();
        EXPECT_TRUE(EffectChainFile::Load(documents, name, reader)) << name;
        EXPECT_STREQ(reader.GetLast()->GetName().CStr(), "OUT") << name;
    }
}

// A load or save that fails says so and changes nothing.
TEST_F(EffectChain, FailedLoadsAndSavesShowTheAlert)
{
    Install(1, "EQ-3B");
    Write("User/FX Favourites/Bad.qfx", "this is not XML");
    Write("User/FX Favourites/Empty.qfx", "<Root FileVersion=\"1.0\"/>");
    Write("User/FX Favourites/Taken", "a file where a folder should be");
    const struct
    {
        int32_t button;
        const char* path;
        const char* title;
        const char* line;
    } cases[] = {
        {cEffectSelectUI::kButtonLoad, "User/FX Favourites/Bad.qfx", "Load Effects Chain",
         "Couldn't load effects chain 'Bad.qfx'"},
        {cEffectSelectUI::kButtonLoad, "User/FX Favourites/Empty.qfx", "Load Effects Chain",
         "Couldn't load effects chain 'Empty.qfx'"},
        {cEffectSelectUI::kButtonLoad, "User/FX Favourites/Missing.qfx", "Load Effects Chain",
         "Couldn't load effects chain 'Missing.qfx'"},
        {cEffectSelectUI::kButtonSave, "User/FX Favourites/Taken/Chain.qfx", "Save Effects Chain",
         "Couldn't save effects chain 'Chain.qfx'"},
    };
    for (const auto& c : cases)
    {
        host.messages.clear();
        ChooseChainFile(c.button, c.path);
        EXPECT_STREQ(host.alert->GetName(), c.title) << c.path;
        EXPECT_STREQ(host.alert->firstLine.CStr(), c.line) << c.path;
        EXPECT_STREQ(host.alert->GetButton(kAlertOK)->GetName(), "OK") << c.path;
        EXPECT_TRUE(host.messages.empty()) << c.path;
        EXPECT_STREQ(UnitOf(Slot(1)), "EQ-3B") << c.path;
        EXPECT_FALSE(modified.load()) << c.path;
        Frame(30);
        EXPECT_FALSE(Chooser()->IsShown()) << c.path;
        host.alert->Hide();
    }
}

// Reload and a project load drop the desk's choice of chain, but only while
// the desk shows an instrument.
TEST_F(EffectChain, AProjectLoadResetsTheInsertViewOnlyWhileADeskIsShown)
{
    AddInstrument("Kest");
    Show(WidthForColumns(5), 400.0f);
    cGenString error;
    Panel()->SelectChannel(0);
    ASSERT_TRUE(package->LoadProjectData(cGenString(), nullptr, 0, error));
    EXPECT_EQ(desk->GetInsertChannel(), -1);
    Panel()->SelectChannel(0);
    ASSERT_TRUE(package->Reload());
    EXPECT_EQ(desk->GetInsertChannel(), -1);
    desk->SetInsertChannel(0);
    package->Show(nullptr);
    ASSERT_TRUE(package->LoadProjectData(cGenString(), nullptr, 0, error));
    ASSERT_TRUE(package->Reload());
    EXPECT_EQ(desk->GetInsertChannel(), 0);
    Frame();
}

// The desk binds again before it draws or takes a touch once the mixer's
// list changed: nothing it holds may point at a removed channel.
TEST_F(EffectChain, RemovingTheSelectedStripsInstrumentLeavesNothingDangling)
{
    AddInstrument("Kest");
    cStripInstrument* pads = AddInstrument("VRX", 3);
    AddInstrument("Kest 2");
    Show(WidthForColumns(5), 700.0f);
    Panel()->SelectChannel(2);
    cEffectRackUI* deskChain = Panel()->GetChainEditor();
    ASSERT_EQ(deskChain->GetRack(), &static_cast<cMixerChannel*>(pads->GetChannel(1))->insertRack);
    deskChain->SetNodeEffect(deskChain->GetRack()->FindNode("SLOT1"), gEffectRegistry->FindPackage("Q-HALLS"));
    Frame(2);
    desk->GetMixer()->RemoveChannels(pads);
    instruments.erase(instruments.begin() + 1);
    Frame(3);
    EXPECT_EQ(Panel()->GetListSize(), 4);
    EXPECT_EQ(desk->GetInsertChannel(), 2);
    EXPECT_EQ(deskChain->GetRack(), &desk->GetMixer()->GetChannel(2)->insertRack);
    for (int32_t i = 0; i <= Panel()->GetFaders()->GetStripCount(); ++i)
        EXPECT_EQ(Panel()->GetFaders()->GetFader(i)->GetChannel(), desk->GetMixer()->GetChannel(i)) << i;
}
} // namespace
