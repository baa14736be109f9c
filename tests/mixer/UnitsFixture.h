#pragma once

#include <gtest/gtest.h>

#include "audio/WaveShaper.h"
#include "mixer/EffectUnits.h"

// The five effect units registered, with the waveshaper's curves, as the
// program has them after start-up.
class cRegisteredUnits : public testing::Test
{
protected:
    static void SetUpTestSuite() { BuildShapeTables(); }
    static void TearDownTestSuite() { FreeShapeTables(); }
    void SetUp() override { RegisterEffectPackages(); }
    void TearDown() override { DeleteEffectPackages(); }
};
