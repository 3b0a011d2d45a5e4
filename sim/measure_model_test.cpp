// The target model and the teach-table evaluation, without I/O.
#include "sim/measure_model.h"

#include <gtest/gtest.h>

namespace {

using sim::Evaluation;
using sim::Position;

struct Table {
  sim::ParameterBlock para = sim::DefaultParameterBlock();
  sim::TeachBlock teach{};

  void Row(std::size_t r, std::uint16_t c0, std::uint16_t c1, std::uint16_t c2, std::uint16_t c3, std::uint16_t c4,
           std::uint16_t group = 0) {
    std::uint16_t* w = &teach[r * sim::TEACH_ROW_WORDS];
    w[0] = c0, w[1] = c1, w[2] = c2, w[3] = c3, w[4] = c4, w[sim::GROUP] = group;
  }
  Evaluation Eval(std::uint16_t mode, Position p, sim::Rgb rgb = {0, 0, 0}) {
    para[sim::EVALUATION_MODE] = mode;
    return sim::EvaluateColour(para, teach, p, rgb);
  }
};

// Two overlapping 2D rows: the point is inside both, nearer to row 1.
Table Overlapping() {
  Table t;
  t.para[sim::MAX_VEC_NO] = 3;
  t.Row(0, 1000, 1000, 300, 1000, 500, 7);
  t.Row(1, 1100, 1000, 300, 1000, 500, 8);
  t.Row(2, 3000, 500, 50, 1000, 500, 9);
  return t;
}

TEST(Evaluation, HitModesChooseTheirRow) {
  Table t = Overlapping();
  const Position p{1080, 1000, 1200};
  EXPECT_EQ(t.Eval(sim::EVAL_FIRST_HIT, p).colorNo, 0);
  EXPECT_EQ(t.Eval(sim::EVAL_FIRST_HIT, p).deltaC, 80);
  EXPECT_EQ(t.Eval(sim::EVAL_BEST_HIT, p).colorNo, 1);
  EXPECT_EQ(t.Eval(sim::EVAL_BEST_HIT, p).deltaC, 20);
  t.para[sim::MAX_VEC_NO] = 1;  // only row 0 is checked
  EXPECT_EQ(t.Eval(sim::EVAL_BEST_HIT, p).colorNo, 0);
}

TEST(Evaluation, MissesAndTheIntensityLimitGiveTheFailureValue) {
  Table t = Overlapping();
  const Position far{2000, 2000, 1000};
  Evaluation e = t.Eval(sim::EVAL_FIRST_HIT, far);
  EXPECT_EQ(e.colorNo, 255);
  EXPECT_EQ(e.groupNo, 255);
  EXPECT_EQ(e.deltaC, 1803);  // to row 2, the last enabled row: sqrt(1000^2 + 1500^2)
  EXPECT_EQ(t.Eval(sim::EVAL_BEST_HIT, far).deltaC, -1);

  // Inside the colour circle but outside the intensity band.
  EXPECT_EQ(t.Eval(sim::EVAL_BEST_HIT, {1080, 1000, 1600}).colorNo, 255);
  // MIN DIST takes the nearest centre whatever the colour radius, within the band.
  EXPECT_EQ(t.Eval(sim::EVAL_MIN_DIST, {2500, 600, 1000}).colorNo, 2);
  EXPECT_EQ(t.Eval(sim::EVAL_MIN_DIST, {2500, 600, 1600}).colorNo, 255);

  t.para[sim::INTLIM] = 1201;
  e = t.Eval(sim::EVAL_FIRST_HIT, {1080, 1000, 1200});
  EXPECT_EQ(e.colorNo, 255);
  EXPECT_EQ(e.deltaC, -1);
}

TEST(Evaluation, GroupsReplaceTheRowNumberWhenOn) {
  Table t = Overlapping();
  EXPECT_EQ(t.Eval(sim::EVAL_BEST_HIT, {1080, 1000, 1200}).groupNo, 1);
  t.para[sim::COLOR_GROUP] = 1;
  EXPECT_EQ(t.Eval(sim::EVAL_BEST_HIT, {1080, 1000, 1200}).groupNo, 8);
}

TEST(Evaluation, ThreeDModesUseOneSphere) {
  Table t;
  t.para[sim::CALCULATION_MODE] = 2;
  t.Row(0, 1000, 1000, 1500, 100, 1);
  EXPECT_EQ(t.Eval(sim::EVAL_BEST_HIT, {1000, 1000, 1580}).colorNo, 0);
  EXPECT_EQ(t.Eval(sim::EVAL_BEST_HIT, {1000, 1000, 1580}).deltaC, 80);
  EXPECT_EQ(t.Eval(sim::EVAL_BEST_HIT, {1000, 1000, 1620}).colorNo, 255);
  EXPECT_EQ(t.Eval(sim::EVAL_BEST_HIT, {1060, 1080, 1500}).colorNo, 0);  // 100 away exactly
}

TEST(Evaluation, OutputModesReportOut0AndOut1AsBits) {
  Table t = Overlapping();
  EXPECT_EQ(t.Eval(sim::EVAL_COL2, {1080, 1000, 1200}).colorNo, 3);
  EXPECT_EQ(t.Eval(sim::EVAL_COL2, {1350, 1000, 1200}).colorNo, 2);
  Evaluation none = t.Eval(sim::EVAL_COL2, {2000, 2000, 1200});
  EXPECT_EQ(none.colorNo, 0);
  EXPECT_EQ(none.deltaC, -1);

  t.Row(0, 1000, 0, 0, 0, 0);
  t.Row(1, 2000, 0, 0, 0, 0);
  const Position any{1, 1, 1000};
  EXPECT_EQ(t.Eval(sim::EVAL_THD_RED_BLUE, any, {1500, 0, 2500}).colorNo, 3);
  EXPECT_EQ(t.Eval(sim::EVAL_THD_RED_BLUE, any, {500, 3000, 2500}).colorNo, 2);
  EXPECT_EQ(t.Eval(sim::EVAL_THD_RED_GREEN, any, {1500, 1000, 4000}).colorNo, 1);
  EXPECT_EQ(t.Eval(sim::EVAL_THD_GREEN_BLUE, any, {4000, 1001, 2001}).colorNo, 3);
  EXPECT_EQ(t.Eval(sim::EVAL_THD_GREEN_BLUE, any, {4000, 1000, 2000}).colorNo, 0);
}

TEST(ColourPosition, GreyAndBlackHaveNoHue) {
  EXPECT_EQ(sim::ColourPosition({2000, 2000, 2000}, 1).a, 0);
  EXPECT_EQ(sim::ColourPosition({2000, 2000, 2000}, 1).c, 586);
  Position black = sim::ColourPosition({0, 0, 0}, 0);
  EXPECT_EQ(black.a + black.b + black.c, 0);
  EXPECT_EQ(sim::ColourPosition({0, 0, 4095}, 3).b, 3333);  // blue: 240 degrees
}

// [SECTION] Target

sim::TargetConfig Colours(sim::Motion m, int period, int noise) {
  sim::TargetConfig t;
  t.motion = m;
  t.colours = {{1000, 2000, 3000}, {2000, 1000, 3000}};
  t.period = period;
  t.noise = noise;
  return t;
}

TEST(MeasureModel, SameSeedGivesTheSameRecords) {
  const sim::ParaSet set = sim::StartupParaSet();
  sim::MeasureModel a(7, Colours(sim::Motion::Drift, 10, 20));
  sim::MeasureModel b(7, Colours(sim::Motion::Drift, 10, 20));
  sim::MeasureModel c(8, Colours(sim::Motion::Drift, 10, 20));
  bool differs = false;
  for (int i = 0; i < 50; ++i) {
    const sim::Rgb target = a.TargetColour();
    auto ra = a.NextRecord(set, {}, false);
    EXPECT_EQ(ra, b.NextRecord(set, {}, false));
    differs |= ra != c.NextRecord(set, {}, false);
    EXPECT_LE(std::abs(int(ra[sim::MV_RAW_RED]) - int(target.r)), 20);
    EXPECT_LE(ra[sim::MV_MINMAX], ra[sim::MV_RED]);
    EXPECT_GE(ra[sim::MV_MINMAX + 1], ra[sim::MV_RED]);
  }
  EXPECT_TRUE(differs);
}

TEST(MeasureModel, TargetStepsAndDriftsFrameByFrame) {
  const sim::ParaSet set = sim::StartupParaSet();
  sim::MeasureModel step(1, Colours(sim::Motion::Step, 3, 0));
  std::vector<std::uint16_t> reds;
  for (int i = 0; i < 7; ++i) reds.push_back(step.NextRecord(set, {}, false)[sim::MV_RED]);
  EXPECT_EQ(reds, (std::vector<std::uint16_t>{1000, 1000, 1000, 2000, 2000, 2000, 1000}));

  sim::MeasureModel drift(1, Colours(sim::Motion::Drift, 4, 0));
  drift.NextRecord(set, {}, false);
  drift.NextRecord(set, {}, false);
  EXPECT_EQ(drift.TargetColour(), (sim::Rgb{1500, 1500, 3000}));
}

TEST(MeasureModel, PowerLightAndTriggerShapeTheRecord) {
  sim::ParaSet set = sim::StartupParaSet();
  sim::TargetConfig fixed;
  fixed.colours = {{2000, 1500, 1000}};  // taught row 0
  fixed.noise = 0;
  sim::MeasureModel m(1, fixed);
  auto r = m.NextRecord(set, {}, false, 25);
  ASSERT_EQ(r.size(), 25u);
  EXPECT_EQ(r[sim::MV_COLOR_NO], 0);
  EXPECT_EQ(r[sim::MV_DELTA_C], 0);
  EXPECT_EQ(r[sim::MV_SIMREF + 2], sim::ColourPosition({2000, 1500, 1000}, 1).c);

  set.para[sim::POWER] = 250;
  set.para[sim::TRIGGER] = sim::TRIGGER_SELF;
  r = m.NextRecord(set, {}, false);
  EXPECT_EQ(r[sim::MV_RAW_RED], 1000);
  EXPECT_EQ(r[sim::MV_TRIGGER], 1);  // colour 255 is not colour 0

  set.para[sim::LED_MODE] = sim::LED_MODE_OFF;
  EXPECT_EQ(m.NextRecord(set, {}, false)[sim::MV_RAW_GREEN], 0);

  set = sim::StartupParaSet();
  set.para[sim::TRIGGER] = sim::TRIGGER_TRANS;
  EXPECT_EQ(m.NextRecord(set, {}, false)[sim::MV_RAW_BLUE], 0);
  r = m.NextRecord(set, {}, true);
  EXPECT_EQ(r[sim::MV_RAW_BLUE], 1000);
  EXPECT_EQ(r[sim::MV_TRIGGER], 1);
}

}  // namespace
