#include "job_type.h"

#include <gtest/gtest.h>

namespace {

TEST(JobType, EffectiveTypeFromFeaturesConfigurationAndCard) {
  const struct {
    const char* jobType;
    const char* jobLimit;
    bool crypto;
    bool card;
    const char* expected;
    bool cardAsked;
  } cases[] = {
      {"Normal", "False", false, false, "Normal", false},
      {"Normal", "True", true, false, "Secure_Chip", false},
      {"Secure", "True", false, false, "Secure", true},
      {"Secure", "True", false, true, "Secure_Chip", true},
      {"Normal", "False", false, true, "Normal", false},  // a card never turns a normal job
      {"Spool", "False", false, true, "Secure_Chip", true},
      {"", "", false, true, "Secure_Chip", true},  // feature unknown to the driver
      {"Secure", "true", true, false, "Secure", true},  // exact comparison
      {"Secure_Chip", "False", false, false, "Secure_Chip", true},
  };
  for (const auto& c : cases) {
    bool asked = false;
    vex::JobTypeInputs inputs;
    inputs.jobType = c.jobType;
    inputs.jobLimit = c.jobLimit;
    inputs.cryptoLibraryConfigured = c.crypto;
    inputs.isIcCardPrinter = [&] {
      asked = true;
      return c.card;
    };
    EXPECT_EQ(vex::effectiveJobType(inputs), c.expected) << c.jobType << "/" << c.jobLimit;
    EXPECT_EQ(asked, c.cardAsked) << c.jobType << "/" << c.jobLimit;
  }
}

TEST(JobType, FeatureValueStopsAtTheFirstNulOrTheBuffer) {
  const char terminated[8] = {'N', 'o', 'r', 'm', 'a', 'l', 0, 'x'};
  EXPECT_EQ(vex::featureValueFromBuffer(terminated, sizeof(terminated)), "Normal");
  const char open[6] = {'N', 'o', 'r', 'm', 'a', 'l'};
  EXPECT_EQ(vex::featureValueFromBuffer(open, 5), "Norma");
  EXPECT_EQ(vex::featureValueFromBuffer(nullptr, 64), "");
}

}  // namespace
