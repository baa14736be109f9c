#include "SongEditFixture.h"

#include "sequencer/Pattern.h"
#include "sequencer/Track.h"

namespace
{
// The model drawn into the capturing renderer: an 800 x 600 area showing
// eight bars and six rows, so a bar is 100 pixels and a row 100 pixels.
class SongEditDrawingTest : public cSongEditTest
{
protected:
    SongEditDrawingTest()
    {
        info.rect = {100.0f, 50.0f, 900.0f, 650.0f};
        info.leftTick = 0.0f;
        info.widthTicks = 8.0f * kBar;
        info.topRow = 0.0f;
        info.rows = 6.0f;
    }

    void Draw(int32_t guide = cSongEditModel::kGuideNone)
    {
        renderer.draws.clear();
        cDrawList& list = *manager->GetDrawList();
        list.Begin();
        model.Draw(list, guide, info);
        list.End();
    }

    // The part rectangles drawn: five vertices each.
    std::vector<cVertexIntXYColour> PartVertices() const
    {
        std::vector<cVertexIntXYColour> vertices;
        for (const cCaptureRenderer::cDraw& draw : renderer.draws)
            if (draw.layout == "cVertexIntXYColour")
                for (uint32_t i = 0; i < draw.vertexCount; ++i)
                    vertices.push_back(draw.Vertex<cVertexIntXYColour>(i));
        return vertices;
    }

    int32_t CountDraws(const char* layout, ePrimitive primitive) const
    {
        int32_t count = 0;
        for (const cCaptureRenderer::cDraw& draw : renderer.draws)
            count += draw.layout == layout && draw.primitive == primitive;
        return count;
    }

    cSongViewInfo info;
};

TEST_F(SongEditDrawingTest, PartsOfMutedTracksAndTracksSilencedByASoloDrawGrey)
{
    cTrack* muted = world.AddTrack(0);
    cTrack* silenced = world.AddTrack(0);
    cTrack* soloed = world.AddTrack(1);
    world.AddPrivatePart(muted, 0, kBar);
    world.AddPrivatePart(silenced, 0, kBar);
    world.AddSharedPart(soloed, 2, kBar, kBar, kBar);
    world.sequencer.SetTrackMuteSolo(0, cTrack::kMute);
    world.sequencer.SetTrackMuteSolo(2, cTrack::kSolo);
    world.Bind();
    Draw();

    const std::vector<cVertexIntXYColour> vertices = PartVertices();
    ASSERT_EQ(vertices.size(), 15u);
    for (int corner = 0; corner < 5; ++corner)
    {
        EXPECT_EQ(vertices[size_t(corner)].colour, cSongEditModel::kSilentColour);
        EXPECT_EQ(vertices[size_t(5 + corner)].colour, cSongEditModel::kSilentColour);
    }
    EXPECT_EQ(vertices[10].colour, 0xb9df73f2u) << "top in the fill colour";
    EXPECT_EQ(vertices[12].colour, 0xb9aa3dbbu) << "bottom in the edge colour";
    // Corners: one pixel in from the start, one up from the bottom.
    EXPECT_EQ(vertices[10].x, 201);
    EXPECT_EQ(vertices[10].y, 250);
    EXPECT_EQ(vertices[11].x, 300);
    EXPECT_EQ(vertices[13].y, 349);
}

TEST_F(SongEditDrawingTest, APartWhoseSlotIsEmptyShowsNoNoteLines)
{
    cTrack* empty = world.AddTrack(5);
    cPatternInstance* part = world.AddPrivatePart(empty, 0, kBar);
    world.FillNotes(*part->pattern, kBar, 128);
    world.Bind();
    Draw();
    EXPECT_EQ(model.GetPartRectCount(), 1);
    EXPECT_EQ(model.GetNoteLineCount(), 0);

    cPatternInstance* heard = world.AddPrivatePart(world.AddTrack(0), 0, kBar);
    world.FillNotes(*heard->pattern, kBar, 128);
    world.Bind();
    Draw();
    EXPECT_EQ(model.GetNoteLineCount(), 16);
    EXPECT_EQ(CountDraws("cVertexIntXY", kPrimitiveLines), 1);
}

// A part whose events all fit its budget draws every one of them: the step
// between drawn events was 0 then, a division by nothing.
TEST_F(SongEditDrawingTest, ALoopShowsItsNotesOncePerRepetitionWithATickAtEachStart)
{
    cPatternInstance* part = world.AddSharedPart(world.AddTrack(0), 6, 0, 4 * kBar, kBar);
    world.AddNote(*part->pattern, 0, 60, 256);
    world.AddNote(*part->pattern, 512, 72, 256);
    world.Bind();
    Draw();

    ASSERT_EQ(model.GetNoteLineCount(), 22) << "four passes of two notes and three ticks";
    const cVertexIntXY* lines = model.GetNoteLines();
    std::vector<int> ticks;
    for (int32_t i = 0; i < model.GetNoteLineCount(); i += 2)
        if (lines[i].x == lines[i + 1].x)
            ticks.push_back(lines[i].x);
    EXPECT_EQ(ticks, (std::vector<int>{200, 300, 400})) << "at bars 2, 3 and 4";
    // The notes of each pass: the low one at the base line, the high one 82 pixels up (100 - 18).
    EXPECT_EQ(lines[0].y, 146);
    EXPECT_EQ(lines[2].y, 64);
    EXPECT_EQ(lines[0].x, 100);
    EXPECT_EQ(lines[1].x, 126);
}

TEST_F(SongEditDrawingTest, ADenseSongStaysWithinItsLineVertices)
{
    for (int32_t row = 0; row < 6; ++row)
    {
        cTrack* track = world.AddTrack(0);
        for (int32_t bar = 0; bar < 8; ++bar)
            world.FillNotes(*world.AddPrivatePart(track, bar * kBar, kBar)->pattern, kBar, 1);
    }
    world.Bind();
    Draw();
    EXPECT_EQ(model.GetPartRectCount(), 48);
    EXPECT_LE(model.GetNoteLineCount(), cSongEditModel::kNoteLineLimit);
    EXPECT_GT(model.GetNoteLineCount(), 48 * 100) << "every part shows some of its notes";
}

TEST_F(SongEditDrawingTest, DrawingFromInsideBarTwoToInsideBarFourPreviewsBarsTwoToFourAndHidesHighlights)
{
    cPatternInstance* part = world.AddPrivatePart(world.AddTrack(0), 0, kBar);
    world.AddTrack(0);
    world.Bind();
    Select({part});
    Draw();
    EXPECT_EQ(model.GetHighlightCount(), 1);

    model.SetInsertPreview(1.7f, info, 1.5f * kBar, 3.5f * kBar);
    Draw();
    EXPECT_EQ(model.GetHighlightCount(), 0);
    const cVertexIntXY* lines = model.GetPreviewLines();
    EXPECT_EQ(lines[0].y, 150);
    EXPECT_EQ(lines[2].y, 250);
    EXPECT_EQ(lines[1].x, 900) << "across the whole width";
    EXPECT_EQ(lines[4].x, 200) << "bar 2 begins";
    EXPECT_EQ(lines[6].x, 500) << "bar 4 ends";
    EXPECT_EQ(lines[5].y, 650) << "down the whole height";
}

TEST_F(SongEditDrawingTest, GuidesFollowTheDrag)
{
    cPatternInstance* part = world.AddPrivatePart(world.AddTrack(0), kBar, kBar);
    world.Bind();
    Select({part});
    struct
    {
        int32_t guide;
        int32_t lines;
    } cases[] = {{cSongEditModel::kGuideNone, 0}, {cSongEditModel::kGuideAll, 4}, {cSongEditModel::kGuideStart, 1},
                 {cSongEditModel::kGuideEnd, 1}, {cSongEditModel::kGuideRows, 2}};
    for (const auto& c : cases)
    {
        Draw(c.guide);
        uint32_t vertices = 0;
        for (const cCaptureRenderer::cDraw& draw : renderer.draws)
            if (draw.layout == "cVertexIntXY" && draw.primitive == kPrimitiveLines)
                vertices += draw.vertexCount;
        EXPECT_EQ(vertices, uint32_t(2 * c.lines)) << c.guide;
    }
}

// Zoomed in, a part reaching far past the window put its right edge past
// the 16-bit range, where it wrapped round to the left.
TEST_F(SongEditDrawingTest, APartFarPastTheWindowIsHeldToTheVertexRange)
{
    world.AddPrivatePart(world.AddTrack(0), 0, 500000);
    world.Bind();
    Draw();
    const std::vector<cVertexIntXYColour> vertices = PartVertices();
    ASSERT_EQ(vertices.size(), 5u);
    EXPECT_EQ(vertices[1].x, 32766);
    EXPECT_EQ(vertices[3].x, 32766);
}
} // namespace
