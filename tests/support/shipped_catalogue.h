#pragma once
// A GoogleTest fixture over the shipped catalogue (data/), read once per test
// suite; every test of the suite is skipped when the file is not there.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"

namespace darvelle::testing {

inline const std::filesystem::path kShippedCataloguePath =
    std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName);

class ShippedCatalogueTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (std::filesystem::exists(kShippedCataloguePath)) {
      catalogue_ = std::make_unique<Catalogue>(LoadCatalogue(kShippedCataloguePath));
    }
  }
  static void TearDownTestSuite() { catalogue_.reset(); }
  void SetUp() override {
    if (!catalogue_) GTEST_SKIP() << "catalogue not in data/: " << kShippedCataloguePath;
  }
  // The index of the eclipse of that date (TT), 0 when the catalogue has none.
  static int IndexOf(int year, int month, int day) {
    for (int i = 1; i <= catalogue_->Count(); ++i) {
      const EclipseRecord& r = catalogue_->Record(i);
      if (r.Year == year && r.Month == month && r.Day == day) return i;
    }
    return 0;
  }

  inline static std::unique_ptr<Catalogue> catalogue_;
};

}  // namespace darvelle::testing
