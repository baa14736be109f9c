#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "audio/RecordForms.h"
#include "instruments/synth/ControllerValues.h"
#include "instruments/synth/ModMatrix.h"
#include "instruments/synth/ModMatrixEvaluator.h"

namespace
{
// Sources with every LFO, the envelope and the controllers at rest.
cModSources QuietSources(const float* controllers)
{
    cModSources sources{};
    for (int i = 0; i < 4; ++i)
        sources.lfoValue[i] = 0.5f, sources.lfoDepth[i] = 1.0f;
    sources.velocity = 0.2f;
    sources.controllers = controllers;
    return sources;
}

// A matrix with every row off.
cModMatrix EmptyMatrix()
{
    cModMatrix matrix;
    for (cModMatrixRow& row : matrix.rows)
        row = {};
    return matrix;
}
} // namespace

TEST(ModMatrixTest, DefaultsOfANewMatrix)
{
    const cModMatrix matrix;
    const cModMatrixRow expected[cModMatrix::kRowCount] = {{1, 4, 2},   {1, 1, 100}, {5, 4, 100}, {3, 4, 100},
                                                           {1, 4, 100}, {3, 4, 0},   {2, 0, 100}, {2, 1, 100},
                                                           {9, 1, 100}, {9, 0, 100}, {15, 0, 100}};
    for (int32_t row = 0; row < cModMatrix::kRowCount; ++row)
    {
        EXPECT_EQ(matrix.rows[row].Dest, expected[row].Dest) << row;
        EXPECT_EQ(matrix.rows[row].Par, expected[row].Par) << row;
        EXPECT_EQ(matrix.rows[row].Amt, expected[row].Amt) << row;
    }
    EXPECT_STREQ(cModMatrix::GetSourceName(8), "XYPad 2 X");
}

TEST(ModMatrixTest, DefaultVibratoIsAboutHalfASemitone)
{
    const cModMatrix matrix;
    const float controllers[9] = {};
    cModMatrixEvaluator evaluator;
    evaluator.matrix = &matrix;
    cModSources sources = QuietSources(controllers);
    sources.lfoValue[1] = 0.5f; // keep "Mix" still
    for (float value : {1.0f, 0.0f})
    {
        sources.lfoValue[0] = value;
        evaluator.Evaluate(sources);
        const float semitones = value > 0.5f ? 0.48f : -0.48f;
        EXPECT_NEAR(evaluator.sums.oscPitchA * 24.0f, semitones, 1e-5f);
        EXPECT_NEAR(evaluator.sums.oscPitchB * 24.0f, semitones, 1e-5f);
    }
}

TEST(ModMatrixTest, VelocityCurve)
{
    struct cCase
    {
        int velocity;
        float value;
    };
    for (cCase c : {cCase{127, 1.0f}, cCase{25, 0.0f}, cCase{0, 0.0f}, cCase{64, (64.0f / 127 - 0.2f) * 1.25f}})
        EXPECT_NEAR(cModMatrixEvaluator::VelocityValue(float(c.velocity) / 127.0f), c.value, 1e-6f) << c.velocity;
}

TEST(ModMatrixTest, RowsAddToTheirDestinations)
{
    struct cCase
    {
        const char* what;
        int32_t row, dest, par, amt;
        float cModulationSums::*sum;
        float expected;
    };
    // LFO 1 at 0.75 with depth 1; the aux envelope at 0.75 with amount 0.5;
    // velocity 127; knob 0.25.
    const cCase cases[] = {
        {"LFO to pitch A is centred", 0, 1, 2, 50, &cModulationSums::oscPitchA, 0.25f},
        {"LFO to A-B pitch lowers B", 0, 1, 5, 50, &cModulationSums::oscPitchB, -0.25f},
        {"LFO to cutoff is not centred", 0, 2, 0, 50, &cModulationSums::filterCutoff, 0.375f},
        {"LFO inverted", 0, 2, 0, -100, &cModulationSums::filterCutoff, -0.75f},
        {"envelope to pan is not centred", 4, 1, 0, 100, &cModulationSums::oscPan, 0.375f},
        {"envelope to amp", 4, 4, 0, 100, &cModulationSums::ampAmount, 0.375f},
        {"velocity to Q", 5, 2, 1, 100, &cModulationSums::filterQ, 1.0f},
        {"velocity to mix is centred", 5, 1, 1, 100, &cModulationSums::oscMix, 1.0f},
        {"knob to sample start", 10, 11, 0, 100, &cModulationSums::sampleStart, 0.25f},
        {"knob to sample length", 10, 11, 1, 100, &cModulationSums::sampleLength, 0.25f},
    };
    const float controllers[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0.25f};
    for (const cCase& c : cases)
    {
        cModMatrix matrix = EmptyMatrix();
        matrix.rows[c.row] = {c.dest, c.par, c.amt};
        cModMatrixEvaluator evaluator;
        evaluator.matrix = &matrix;
        cModSources sources = QuietSources(controllers);
        sources.lfoValue[0] = 0.75f;
        sources.auxEnvOutput = 0.75f;
        sources.auxEnvAmount = 0.5f;
        sources.velocity = 1.0f;
        evaluator.Evaluate(sources);
        EXPECT_NEAR(evaluator.sums.*c.sum, c.expected, 1e-6f) << c.what;
        EXPECT_EQ(evaluator.sums.sampleLengthModulated, c.sum == &cModulationSums::sampleLength) << c.what;
    }

    // Every envelope and LFO parameter has its own sum.
    cModMatrix matrix = EmptyMatrix();
    matrix.rows[5] = {cModMatrix::kDestFilterEnv, 3, 100};
    matrix.rows[6] = {cModMatrix::kDestAmpEnv, 2, 100};
    matrix.rows[7] = {cModMatrix::kDestLFO1 + 2, 1, 100};
    matrix.rows[8] = {cModMatrix::kDestAuxEnv, 4, 100};
    const float pads[9] = {0, 0, 0, 0, 0.5f, 0.25f, 0.125f, 0, 0};
    cModMatrixEvaluator evaluator;
    evaluator.matrix = &matrix;
    cModSources sources = QuietSources(pads);
    sources.velocity = 1.0f;
    evaluator.Evaluate(sources);
    EXPECT_EQ(evaluator.sums.filterEnv[3], 1.0f);
    EXPECT_EQ(evaluator.sums.ampEnv[2], 0.5f);
    EXPECT_EQ(evaluator.sums.lfo[2][1], 0.25f);
    EXPECT_EQ(evaluator.sums.auxEnv[4], 0.125f);
}

TEST(ModMatrixTest, ModuleDestinationsBelongToTheModule)
{
    cModMatrix matrix = EmptyMatrix();
    matrix.rows[5] = {cModMatrix::kDestChorus, 0, 100}; // velocity: no effect anywhere
    matrix.rows[0] = {cModMatrix::kDestDelay, 0, 100};  // an LFO: no effect either
    matrix.rows[6] = {cModMatrix::kDestWaveShaper, 2, 50};
    matrix.rows[7] = {cModMatrix::kDestChorus, 3, 100};
    matrix.rows[8] = {cModMatrix::kDestDelay, 1, -100};
    matrix.rows[9] = {cModMatrix::kDestSendFX, 1, 100};
    matrix.rows[10] = {cModMatrix::kDestSendFX, 1, 100};
    const float controllers[9] = {0, 0, 0, 0, 0.5f, 0.25f, 0.75f, 0.125f, 0.5f};

    cModMatrixEvaluator evaluator;
    evaluator.matrix = &matrix;
    cModSources sources = QuietSources(controllers);
    sources.velocity = 1.0f;
    evaluator.Evaluate(sources);
    cModulationSums none{};
    EXPECT_EQ(std::memcmp(&evaluator.sums, &none, sizeof none), 0);

    cModuleModulation sums;
    EvaluateModuleModulation(matrix, controllers, sums);
    EXPECT_EQ(sums.waveShaper[2], 0.25f);
    EXPECT_EQ(sums.chorus[3], 0.25f);
    EXPECT_EQ(sums.chorus[0], 0.0f);
    EXPECT_EQ(sums.delay[1], -0.75f);
    EXPECT_EQ(sums.delay[0], 0.0f);
    EXPECT_EQ(sums.send[1], 0.625f);
}

TEST(ModMatrixTest, RowsOutOfRangeActAsOffButKeepTheirValues)
{
    struct cCase
    {
        int32_t dest, par;
    };
    const cCase cases[] = {{-1, 0}, {16, 0}, {INT_MIN, 0}, {1, 6}, {2, -1}, {15, 2}, {12, INT_MAX}};
    const float controllers[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    for (const cCase& c : cases)
    {
        cModMatrix matrix;
        for (cModMatrixRow& row : matrix.rows)
            row = {c.dest, c.par, 100};
        for (int32_t row = 0; row < cModMatrix::kRowCount; ++row)
            EXPECT_EQ(matrix.GetActiveDest(row), cModMatrix::kDestOff);
        cModMatrixEvaluator evaluator;
        evaluator.matrix = &matrix;
        cModSources sources = QuietSources(controllers);
        sources.lfoValue[0] = 1.0f;
        evaluator.Evaluate(sources);
        cModulationSums none{};
        EXPECT_EQ(std::memcmp(&evaluator.sums, &none, sizeof none), 0) << c.dest << " " << c.par;
        cModuleModulation module;
        EvaluateModuleModulation(matrix, controllers, module);
        cModuleModulation zero{};
        EXPECT_EQ(std::memcmp(&module, &zero, sizeof zero), 0) << c.dest << " " << c.par;

        cModMatrix fromXml, fromBinary;
        ASSERT_TRUE(LoadRecordXml(SaveRecordXml(matrix), fromXml));
        ASSERT_TRUE(LoadRecordBinary(SaveRecordBinary(matrix), fromBinary));
        EXPECT_EQ(std::memcmp(&fromXml, &matrix, sizeof matrix), 0) << c.dest << " " << c.par;
        EXPECT_EQ(std::memcmp(&fromBinary, &matrix, sizeof matrix), 0) << c.dest << " " << c.par;
    }
}

TEST(ModMatrixTest, SettingTheDestinationResetsAParameterThatNoLongerFits)
{
    cModMatrix matrix;
    matrix.SetParamInt(3, cModMatrix::kFieldDest, cModMatrix::kDestFilterEnv);
    matrix.SetParamInt(3, cModMatrix::kFieldPar, 3);
    matrix.SetParamInt(3, cModMatrix::kFieldDest, cModMatrix::kDestFilter);
    EXPECT_EQ(matrix.GetParamInt(3, cModMatrix::kFieldPar), 0);
    matrix.SetParamInt(3, cModMatrix::kFieldDest, cModMatrix::kDestFilterEnv);
    matrix.SetParamInt(3, cModMatrix::kFieldPar, 1);
    matrix.SetParamInt(3, cModMatrix::kFieldDest, cModMatrix::kDestFilter);
    EXPECT_EQ(matrix.GetParamInt(3, cModMatrix::kFieldPar), 1);
    matrix.SetParamInt(3, cModMatrix::kFieldAmt, -100);
    EXPECT_EQ(matrix.GetParamInt(3, cModMatrix::kFieldAmt), -100);
    // Rows and fields out of range read 0 and write nothing.
    const cModMatrix before = matrix;
    matrix.SetParamInt(11, cModMatrix::kFieldAmt, 5);
    matrix.SetParamInt(-1, cModMatrix::kFieldAmt, 5);
    matrix.SetParamInt(0, 3, 5);
    EXPECT_EQ(std::memcmp(&before, &matrix, sizeof matrix), 0);
    EXPECT_EQ(matrix.GetParamInt(11, cModMatrix::kFieldDest), 0);
}

TEST(ModMatrixTest, XmlRowsByTheirSourceNames)
{
    cModMatrix written;
    written.rows[4] = {cModMatrix::kDestSendFX, 1, -37};
    const std::string xml = SaveRecordXml(written);
    EXPECT_NE(xml.find("<Aux_Env Dest=\"Send FX\" Par=\"Send 2\" Amt=\"-37\"/>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<XYPad_2_Y Dest=\"LFO 4\" Par=\"Rate\" Amt=\"100\"/>"), std::string::npos) << xml;

    // An element named after no source is not read; a row without its
    // element keeps its values.
    std::string edited = xml;
    edited.replace(edited.find("<Aux_Env"), 8, "<Aux_Envelope");
    edited.replace(edited.find("<Knob "), 6, "<Knobs ");
    cModMatrix read;
    read.rows[4] = {cModMatrix::kDestAmp, 0, 12};
    read.rows[10] = {cModMatrix::kDestFilter, 1, 7};
    read.rows[0] = {};
    ASSERT_TRUE(LoadRecordXml(edited, read));
    EXPECT_EQ(read.rows[4].Amt, 12);
    EXPECT_EQ(read.rows[10].Amt, 7);
    EXPECT_EQ(read.rows[0].Dest, cModMatrix::kDestOsc);
    EXPECT_EQ(read.rows[0].Par, 4);
}

TEST(ModMatrixTest, BinaryFormAndLegacyData)
{
    cModMatrix written;
    written.rows[2].Amt = -50;
    const std::vector<uint8_t> current = SaveRecordBinary(written);
    EXPECT_EQ(current.size(), 4u + 11u * 16u);
    const std::vector<uint8_t> legacy = SaveRecordBinary(written, 1);
    EXPECT_EQ(legacy.size(), 11u * 12u);
    for (int version : {0, 1})
    {
        cModMatrix read = EmptyMatrix();
        ASSERT_TRUE(LoadRecordBinary(version ? legacy : current, read, version));
        EXPECT_EQ(std::memcmp(&read, &written, sizeof written), 0);
    }
    std::vector<uint8_t> cut = current;
    cut.resize(cut.size() - 4);
    cModMatrix untouched = EmptyMatrix();
    EXPECT_FALSE(LoadRecordBinary(cut, untouched));
    EXPECT_EQ(untouched.rows[0].Dest, 0);
}

TEST(ControllerValuesTest, PadsAndKnobAreStoredValueZeroIsCleared)
{
    cControllerValues written;
    for (int i = 0; i < cControllerValues::kCount; ++i)
        written.values[i] = 0.125f * float(i + 1);
    const std::string xml = SaveRecordXml(written);
    EXPECT_EQ(written.values[0], 0.0f);
    EXPECT_NE(xml.find("Pad3Y=\"1.000000\""), std::string::npos) << xml;
    cControllerValues fromXml;
    fromXml.values[0] = 9.0f;
    fromXml.values[2] = 9.0f;
    ASSERT_TRUE(LoadRecordXml(xml, fromXml));
    EXPECT_EQ(fromXml.values[0], 0.0f);
    EXPECT_EQ(fromXml.values[2], 9.0f); // not stored
    for (int i = cControllerValues::kPad1X; i < cControllerValues::kCount; ++i)
        EXPECT_EQ(fromXml.values[i], written.values[i]);

    cControllerValues edited;
    edited.SetParamFloat(8, 0.3f);
    edited.SetParamFloat(9, 0.4f);
    edited.SetParamFloat(-1, 0.4f);
    EXPECT_EQ(edited.GetParamFloat(8), 0.3f);
    EXPECT_EQ(edited.GetParamFloat(9), 0.0f);

    for (int legacy : {0, 2})
    {
        const std::vector<uint8_t> bytes = SaveRecordBinary(written, legacy);
        EXPECT_EQ(bytes.size(), legacy ? 20u : 24u);
        cControllerValues read;
        read.values[0] = 5.0f;
        ASSERT_TRUE(LoadRecordBinary(bytes, read, legacy));
        EXPECT_EQ(read.values[0], 0.0f);
        for (int i = cControllerValues::kPad1X; i < cControllerValues::kCount; ++i)
            EXPECT_EQ(read.values[i], written.values[i]);
    }
}
