// The simulator's plausibility table against the codes and ranges of the parameter controls:
// a value the simulated sensor keeps must be one the panel can show, or a GET would leave a
// control on its old value and the next SEND would write that instead.
#include <gtest/gtest.h>

#include "parameters/parameter_panel.h"
#include "sim/sensor_data.h"

namespace {

bool SimAccepts(int word, int value) {
  sim::ParameterBlock block = sim::DefaultParameterBlock();
  block[word] = static_cast<std::uint16_t>(value);
  return sim::CheckPlausibility(block) == 0;
}

TEST(ParameterCodes, EveryValueTheSimulatorKeepsCanBeShown) {
  for (int word = 0; word < PARAMETER_BLOCK_WORDS; ++word) {
    int accepted = 0;
    for (int value = 0; value <= 65535; ++value) {
      if (!SimAccepts(word, value)) continue;
      ++accepted;
      ASSERT_TRUE(ParameterCanShow(word, value)) << "word " << word << " value " << value;
    }
    EXPECT_GT(accepted, 1) << "word " << word;
  }
}

TEST(ParameterCodes, RingsAndFixedScalesMatchBothWays) {
  // Words whose values have a meaning of their own: the sensor keeps exactly what the panel offers.
  const int fixed[] = {PARA_POWER,        PARA_POWER_MODE, PARA_EVALUATION_MODE, PARA_MAX_VEC_NO,
                       PARA_DIGITAL_OUTMODE, PARA_TRIGGER, PARA_EXTERN_TEACH,    PARA_CALCULATION_MODE,
                       PARA_COLOR_GROUP,  PARA_LED_MODE,   PARA_GAIN,            PARA_INTEGRAL,
                       PARA_ANALOG_OUTMODE, PARA_ANALOG_OUT};
  for (int word : fixed) {
    for (int value = 0; value <= 65535; ++value) {
      ASSERT_EQ(ParameterCanShow(word, value), SimAccepts(word, value)) << "word " << word << " value " << value;
    }
  }
}

TEST(ParameterCodes, GainAndOpenWordsAtTheirEdges) {
  EXPECT_TRUE(ParameterCanShow(PARA_GAIN, 7));
  EXPECT_FALSE(ParameterCanShow(PARA_GAIN, 8));
  EXPECT_FALSE(SimAccepts(PARA_GAIN, 8));
  EXPECT_FALSE(ParameterCanShow(PARA_ANALOG_OUTMODE, 6));
  EXPECT_FALSE(ParameterCanShow(PARA_TRIGGER, 7));
  for (int word : {PARA_AVERAGE, PARA_INTLIM, PARA_DYNWIN_LO, PARA_DYNWIN_HI, PARA_ANALOG_ZOOM, PARA_HOLD_FAIL}) {
    EXPECT_TRUE(ParameterCanShow(word, 0)) << "word " << word;
    EXPECT_TRUE(ParameterCanShow(word, 65535)) << "word " << word;
  }
  EXPECT_FALSE(ParameterCanShow(PARA_INTEGRAL, 251));
  EXPECT_FALSE(ParameterCanShow(PARA_MAX_VEC_NO, 0));
}

}  // namespace
