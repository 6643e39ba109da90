// The KML's line styles stay legible over imagery: wide lines, each with a
// rim of a contrasting brightness, in the map's colours.

#include <gtest/gtest.h>

#include <QXmlStreamReader>

#include <filesystem>
#include <map>

#include "catalogue/catalogue.h"
#include "catalogue/data_files.h"
#include "catalogue/eclipse_texts.h"
#include "export/kml_export.h"

namespace darvelle {
namespace {

struct LineLook {
  QString color, rim;
  double width = 0;
};

// "aabbggrr" to a grey level of 0 .. 255.
int GreyOf(const QString& kml) {
  const unsigned v = kml.toUInt(nullptr, 16);
  return qGray(qRgb(v & 0xff, (v >> 8) & 0xff, (v >> 16) & 0xff));
}

TEST(KmlStylesTest, EveryCurveIsWideWithAContrastingRim) {
  const Catalogue catalogue = LoadCatalogue(
      std::filesystem::path(DARVELLE_TEST_DATA_DIR) / std::string(kCatalogueFileName));
  // 2013's hybrid draws both central-line colours.
  for (const int index : {16690, 16667}) {
    const EclipseResult c = ComputeEclipse(PrepareEclipse(catalogue, index, TimeScale::kUniversal, 1));
    QXmlStreamReader xml(KmlForEclipse(c, kEnglish));
    std::map<QString, LineLook> styles;
    QString style;
    LineLook* look = nullptr;
    while (!xml.atEnd()) {
      xml.readNext();
      if (!xml.isStartElement()) continue;
      const auto name = xml.name();
      if (name == QLatin1String("Style")) style = xml.attributes().value("id").toString();
      if (name == QLatin1String("LineStyle")) look = &styles[style];
      if (look == nullptr) continue;
      if (name == QLatin1String("color")) look->color = xml.readElementText();
      if (name == QLatin1String("width")) look->width = xml.readElementText().toDouble();
      if (name == QLatin1String("outerColor")) look->rim = xml.readElementText();
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    for (const char* id : {"northern_penumbral_limit", "southern_penumbral_limit", "central_line_total",
                           "central_line_annular"}) {
      ASSERT_TRUE(styles.contains(id)) << id;
    }
    for (const auto& [id, line] : styles) {
      if (id.startsWith("path_") || id == "partial_zone" || id.isEmpty()) continue;
      EXPECT_GE(line.width, 3.0) << id.toStdString();
      ASSERT_FALSE(line.rim.isEmpty()) << id.toStdString();
      EXPECT_GE(std::abs(GreyOf(line.rim) - GreyOf(line.color)), 100) << id.toStdString();
    }
  }
}

}  // namespace
}  // namespace darvelle
