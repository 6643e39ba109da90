// The words of local circumstances: in every language each fact has a word,
// and no two facts of one kind share one (a reader could not tell them apart).

#include <gtest/gtest.h>

#include <set>
#include <string_view>
#include <vector>

#include "reports/local_words.h"

namespace darvelle::reports {
namespace {

constexpr Language kLanguages[] = {kGerman, kEnglish, kFrench};

// Every word of one family is there and differs from the others.
void ExpectDistinct(const std::vector<std::string_view>& words, const char* family, Language language) {
  std::set<std::string_view> seen;
  for (const std::string_view word : words) {
    EXPECT_FALSE(word.empty()) << family << " in language " << LanguageIndex(language);
    EXPECT_TRUE(seen.insert(word).second) << family << ": '" << word << "' twice";
  }
}

TEST(LocalWords, EachFamilyNamesEveryFactOnceInEachLanguage) {
  for (const Language language : kLanguages) {
    std::vector<std::string_view> visibilities, kinds, labels;
    for (const Visibility v : {Visibility::kNone, Visibility::kNight, Visibility::kRise, Visibility::kSet,
                               Visibility::kFull}) {
      visibilities.push_back(VisibilityName(v, language));
    }
    for (const LocalKind k : {LocalKind::kNone, LocalKind::kPartial, LocalKind::kAnnular, LocalKind::kTotal}) {
      kinds.push_back(LocalKindName(k, language));
    }
    for (int l = 0; l < kLocalLabelCount; ++l) labels.push_back(LocalLabelName(static_cast<LocalLabel>(l), language));
    ExpectDistinct(visibilities, "visibility", language);
    ExpectDistinct(kinds, "kind", language);
    ExpectDistinct(labels, "label", language);
    // Both phases' inner contacts in one family: totality's C2 is not annularity's.
    std::vector<std::string_view> moments;
    for (const CentralPhase phase : {CentralPhase::kTotality, CentralPhase::kAnnularity}) {
      for (int m = 0; m < kLocalMomentCount; ++m) {
        const auto moment = static_cast<LocalMoment>(m);
        const bool inner = moment == LocalMoment::kC2 || moment == LocalMoment::kC3;
        if (inner || phase == CentralPhase::kTotality) moments.push_back(LocalMomentName(moment, phase, language));
      }
    }
    ExpectDistinct(moments, "moment", language);
  }
}

}  // namespace
}  // namespace darvelle::reports
