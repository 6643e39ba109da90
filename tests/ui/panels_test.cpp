// The legend panel, the year list, the status panels' texts and the view
// angles' texts on their own, offscreen. The
// suite runs once at the screen's own pixel ratio and once with
// QT_SCALE_FACTOR=2.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/eclipse_record.h"
#include "render/curve_drawing.h"
#include "ui/control_factory.h"
#include "ui/help_browser.h"
#include "ui/languages.h"
#include "ui/legend_panel.h"
#include "ui/local_texts.h"
#include "ui/tooltips.h"
#include "ui/status_panels.h"
#include "ui/year_eclipse_list.h"

namespace {

darvelle::Catalogue SmallCatalogue() {
  struct Row {
    int year, month, day, type, saros, member, members;
  };
  const Row rows[] = {{2023, 10, 14, 3, 134, 44, 71}, {2024, 4, 8, 2, 139, 30, 71},
                      {2024, 10, 2, 3, 144, 17, 70},  {2026, 2, 17, 3, 121, 61, 71}};
  std::vector<darvelle::EclipseRecord> records;
  for (const Row& r : rows) {
    darvelle::EclipseRecord record;
    std::memset(&record, 0, sizeof record);
    record.Year = r.year;
    record.Month = r.month;
    record.Day = r.day;
    record.EclipseType = r.type;
    record.SarosNumber = r.saros;
    record.SarosMember = r.member;
    record.SarosMemberCount = r.members;
    records.push_back(record);
  }
  return darvelle::Catalogue(std::move(records));
}

}  // namespace

class PanelsTest : public QObject {
  Q_OBJECT

 private slots:
  void legendShowsTheDrawingsColours();
  void legendNamesEveryCurveAndMarker();
  void legendSpeaksThreeLanguages();
  void legendLineWidthsFollowThePen();
  void helpPageExplainsTheLegend();
  void helpLinksResolveInEveryLanguage();

  void yearListShowsTheYearsEclipses();
  void yearListChoosesByClick();
  void yearListSpeaksTheLanguage();

  void anyOtherLanguageReadsAsEnglish_data();
  void anyOtherLanguageReadsAsEnglish();
  void statusPanelsShowTheCurveCounts_data();
  void statusPanelsShowTheCurveCounts();
  void statusPanelsLeaveWhatWasNotDrawn();
  void contactNamesFollowTheCentralPhase_data();
  void contactNamesFollowTheCentralPhase();
  void viewAnglesReadWithOneDecimal_data();
  void viewAnglesReadWithOneDecimal();
};

void PanelsTest::legendShowsTheDrawingsColours() {
  for (const darvelle::ui::LegendRow& row : darvelle::ui::LegendRows(1, darvelle::kEnglish)) {
    const QImage swatch = darvelle::ui::LegendSwatch(row, 22);
    const int cx = 22, cy = 11;
    if (row.lineColor) {
      QCOMPARE(QColor(swatch.pixel(cx, cy)).rgb(), QColor::fromRgb(*row.lineColor).rgb());
    } else {
      QVERIFY(row.marker.has_value());
      QCOMPARE(swatch.pixel(cx, cy), QColor::fromRgb(row.marker->fill).rgb());
      QCOMPARE(swatch.pixel(cx + row.marker->radius, cy),
               QColor::fromRgb(row.marker->outline).rgb());
    }
  }
}

void PanelsTest::legendNamesEveryCurveAndMarker() {
  const auto rows = darvelle::ui::LegendRows(1, darvelle::kEnglish);
  auto hasLine = [&](QRgb color) {
    for (const auto& row : rows) {
      if (row.lineColor == color) return true;
    }
    return false;
  };
  auto hasMarker = [&](const darvelle::MarkerLook& look) {
    for (const auto& row : rows) {
      if (row.marker && row.marker->fill == look.fill && row.marker->outline == look.outline &&
          row.marker->radius == look.radius) {
        return true;
      }
    }
    return false;
  };
  for (int i = 0; i < darvelle::kMapCurveCount; ++i) {
    const auto curve = static_cast<darvelle::MapCurve>(i);
    if (curve == darvelle::MapCurve::CentralLine) continue;
    QVERIFY2(hasLine(darvelle::StyleOf(curve).color), qPrintable(QStringLiteral("curve %1").arg(i)));
  }
  QVERIFY(hasLine(darvelle::kCentralTotalColor));
  QVERIFY(hasLine(darvelle::kCentralAnnularColor));
  for (int e = 0; e < darvelle::kEventCount; ++e) {
    const darvelle::MarkerKind kind = darvelle::MarkerKindOf(static_cast<darvelle::EventId>(e));
    for (const auto central : {darvelle::CentralKind::Annular, darvelle::CentralKind::Total}) {
      if (const auto look = darvelle::MarkerLookOf(kind, central)) QVERIFY(hasMarker(*look));
    }
  }
}

void PanelsTest::legendSpeaksThreeLanguages() {
  darvelle::ui::LegendPanel panel;
  QStringList titles;
  std::vector<QStringList> texts(3);
  for (const darvelle::Language language : {darvelle::kGerman, darvelle::kEnglish, darvelle::kFrench}) {
    panel.setLanguage(language);
    titles << panel.windowTitle();
    const auto labels = panel.findChildren<QLabel*>();
    for (int i = 0; i < panel.rowCount(); ++i) {
      const QString text = panel.row(i).text;
      QVERIFY(!text.isEmpty());
      texts[static_cast<std::size_t>(language)] << text;
      bool shown = false;
      for (const QLabel* label : labels) shown = shown || label->text() == text;
      QVERIFY2(shown, qPrintable(text));
    }
  }
  QCOMPARE(titles, (QStringList{QStringLiteral("Legende"), QStringLiteral("Legend"),
                                QString::fromUtf8("Légende")}));
  QVERIFY(texts[0] != texts[1] && texts[1] != texts[2] && texts[0] != texts[2]);
  QStringList english = texts[1];
  QCOMPARE(english.removeDuplicates(), 0);
}

void PanelsTest::legendLineWidthsFollowThePen() {
  for (int pen : {1, 2, 3}) {
    for (const auto& row : darvelle::ui::LegendRows(pen, darvelle::kEnglish)) {
      if (!row.lineColor) continue;
      const bool central = *row.lineColor == darvelle::kCentralTotalColor ||
                           *row.lineColor == darvelle::kCentralAnnularColor;
      QCOMPARE(row.lineWidth, central ? std::max(2, pen) : pen);
    }
  }
}

void PanelsTest::helpPageExplainsTheLegend() {
  QFile page(QStringLiteral(DARVELLE_HELP_DIR "/darvelleEN/map.html"));
  QVERIFY(page.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(page.readAll()).replace(QStringLiteral("&#39;"), "'");
  for (const auto& row : darvelle::ui::LegendRows(1, darvelle::kEnglish)) {
    QVERIFY2(html.contains(row.text), qPrintable(row.text));
    const QRgb colour = row.lineColor ? *row.lineColor : row.marker->fill;
    const QString code = QColor::fromRgb(colour).name();
    QVERIFY2(html.contains(code), qPrintable(code + " for " + row.text));
    if (row.marker) QVERIFY(html.contains(QColor::fromRgb(row.marker->outline).name()));
  }
}

void PanelsTest::helpLinksResolveInEveryLanguage() {
  const QDir data(QStringLiteral(DARVELLE_HELP_DIR "/.."));
  const auto read = [](const QString& file) {
    QFile page(file);
    return page.open(QIODevice::ReadOnly) ? QString::fromUtf8(page.readAll()) : QString();
  };
  // Each language's contents exists and leads to the other two.
  QStringList indexes;
  for (const darvelle::Language language : {darvelle::kGerman, darvelle::kEnglish, darvelle::kFrench}) {
    indexes << QFileInfo(data.filePath(QString::fromLatin1(darvelle::ui::HelpIndexFile(language))))
                   .canonicalFilePath();
    QVERIFY2(!indexes.last().isEmpty(), darvelle::ui::HelpIndexFile(language));
  }
  QCOMPARE(QSet<QString>(indexes.begin(), indexes.end()).size(), 3);
  const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
  int pages = 0;
  QDirIterator it(QStringLiteral(DARVELLE_HELP_DIR), {QStringLiteral("*.html")}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString page = QFileInfo(it.next()).canonicalFilePath();
    ++pages;
    QSet<QString> reached;
    for (const auto& m : href.globalMatch(read(page))) {
      const QString link = m.captured(1);
      if (link.startsWith(QStringLiteral("http"))) continue;
      const QString file = link.section('#', 0, 0);
      const QString anchor = link.section('#', 1);
      const QString target = file.isEmpty() ? page
                                            : QFileInfo(QFileInfo(page).dir().filePath(file))
                                                  .canonicalFilePath();
      QVERIFY2(!target.isEmpty(), qPrintable(page + ": " + link));
      reached.insert(target);
      if (!anchor.isEmpty()) {
        QVERIFY2(read(target).contains(QStringLiteral("id=\"") + anchor + '"'),
                 qPrintable(page + ": " + link));
      }
    }
    if (indexes.contains(page)) {
      for (const QString& other : indexes) {
        if (other != page) QVERIFY2(reached.contains(other), qPrintable(page + " -> " + other));
      }
    }
  }
  QVERIFY(pages >= 3 * 3);
}

void PanelsTest::yearListShowsTheYearsEclipses() {
  const darvelle::Catalogue catalogue = SmallCatalogue();
  darvelle::ui::YearEclipseList list;
  list.setCatalogue(&catalogue);
  list.setYear(2024);
  QCOMPARE(list.topLevelItemCount(), 2);
  const QTreeWidgetItem* first = list.topLevelItem(0);
  // These records have no elements to compute with: each is listed by its own date.
  QCOMPARE(first->text(0), QStringLiteral("2024-04-08"));
  QCOMPARE(first->text(1), QStringLiteral("Total solar eclipse"));
  QCOMPARE(first->text(2), QStringLiteral("139"));
  QCOMPARE(first->toolTip(2), QStringLiteral("Ecl. in Saros: 30. of 71"));
  QCOMPARE(first->data(0, darvelle::ui::YearEclipseList::kIndexRole).toInt(), 2);
  QCOMPARE(list.topLevelItem(1)->text(1), QStringLiteral("Annular solar eclipse"));
  QCOMPARE(list.headerItem()->text(0), QStringLiteral("Date (UT)"));
  list.setTimeScale(darvelle::TimeScale::kTerrestrial);
  QCOMPARE(list.headerItem()->text(0), QStringLiteral("Date (TT)"));
  QCOMPARE(list.topLevelItemCount(), 2);
  list.setYear(2025);
  QCOMPARE(list.topLevelItemCount(), 0);
  list.setYear(2026);
  QCOMPARE(list.topLevelItemCount(), 1);
  list.setCatalogue(nullptr);
  QCOMPARE(list.topLevelItemCount(), 0);
  QCOMPARE(darvelle::ui::EclipseDateText(-584, 5, 28), QStringLiteral("-584-05-28"));
}

void PanelsTest::yearListChoosesByClick() {
  const darvelle::Catalogue catalogue = SmallCatalogue();
  darvelle::ui::YearEclipseList list;
  list.resize(400, 200);
  list.show();
  list.setCatalogue(&catalogue);
  list.setYear(2024);
  QSignalSpy chosen(&list, &darvelle::ui::YearEclipseList::eclipseChosen);
  // Marking the eclipse shown selects it without choosing it.
  list.setCurrentEclipse(2);
  QCOMPARE(chosen.count(), 0);
  QVERIFY(list.topLevelItem(0)->isSelected());
  const QRect second = list.visualItemRect(list.topLevelItem(1));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second.center());
  QCOMPARE(chosen.count(), 1);
  QCOMPARE(chosen.last().at(0).toInt(), 3);
  // Clicking the eclipse already chosen chooses nothing new.
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second.center());
  QCOMPARE(chosen.count(), 1);
  // Enter on the current item chooses it.
  list.setCurrentEclipse(3);
  list.setCurrentItem(list.topLevelItem(0));
  list.setFocus();
  QTest::keyClick(list.viewport(), Qt::Key_Return);
  QTRY_COMPARE_WITH_TIMEOUT(chosen.count(), 2, 2000);
  QCOMPARE(chosen.last().at(0).toInt(), 2);
}

void PanelsTest::yearListSpeaksTheLanguage() {
  const darvelle::Catalogue catalogue = SmallCatalogue();
  darvelle::ui::YearEclipseList list;
  list.setCatalogue(&catalogue);
  list.setYear(2024);
  list.setCurrentEclipse(3);
  struct Case {
    darvelle::Language language;
    const char* type;
    const char* dateTitle;
  };
  const Case cases[] = {{darvelle::kGerman, "Totale Sonnenfinsternis", "Datum (UT)"},
                        {darvelle::kEnglish, "Total solar eclipse", "Date (UT)"},
                        {darvelle::kFrench, "Ecl. de soleil totale", "Date (UT)"}};
  for (const Case& c : cases) {
    list.setLanguage(c.language);
    QCOMPARE(list.topLevelItem(0)->text(1), QString::fromUtf8(c.type));
    QCOMPARE(list.headerItem()->text(0), QString::fromUtf8(c.dateTitle));
  }
  list.setLanguage(darvelle::kGerman);
  QCOMPARE(list.topLevelItem(1)->text(1), QString::fromUtf8("Ringförmige Finsternis"));
  // The chosen eclipse stays marked across a change of language.
  QVERIFY(list.topLevelItem(1)->isSelected());
}

// A language number from outside (a damaged settings file) reads as English
// in every table, the language of a new settings file.
void PanelsTest::anyOtherLanguageReadsAsEnglish_data() {
  QTest::addColumn<int>("number");
  QTest::newRow("-1") << -1;
  QTest::newRow("3") << 3;
  QTest::newRow("1000") << 1000;
}

void PanelsTest::anyOtherLanguageReadsAsEnglish() {
  QFETCH(int, number);
  const darvelle::Language language = darvelle::ui::KnownLanguage(number);
  QVERIFY(language == darvelle::kEnglish);
  QCOMPARE(darvelle::ui::LegendPanel::Title(language), QStringLiteral("Legend"));
  QCOMPARE(darvelle::ui::LegendRows(1, language).front().text, darvelle::ui::LegendRows(1, darvelle::kEnglish).front().text);
  QCOMPARE(darvelle::ui::ExitPdfHint(language), darvelle::ui::ExitPdfHint(darvelle::kEnglish));
  QCOMPARE(darvelle::ui::TooltipOf(QStringLiteral("Edit_Jahr"), language),
           darvelle::ui::TooltipOf(QStringLiteral("Edit_Jahr"), darvelle::kEnglish));
  const darvelle::Catalogue catalogue = SmallCatalogue();
  darvelle::ui::YearEclipseList list;
  list.setCatalogue(&catalogue);
  list.setYear(2024);
  list.setLanguage(language);
  QCOMPARE(list.topLevelItem(0)->text(1), QStringLiteral("Total solar eclipse"));
}

// Each curve's count in its own panel, after its counter's name, as the
// status bar has always shown them.
void PanelsTest::statusPanelsShowTheCurveCounts_data() {
  QTest::addColumn<int>("curve");
  QTest::addColumn<int>("panel");
  QTest::addColumn<QString>("text");
  using darvelle::MapCurve;
  struct Row {
    MapCurve curve;
    int panel;
    const char* text;
  };
  const Row rows[] = {
      {MapCurve::RiseSetCurve1, 2, "nTestF1 1"},     {MapCurve::RiseSetCurve2, 3, "nTestF2 2"},
      {MapCurve::RiseSetCurve3, 4, "nTestF3 3"},     {MapCurve::RiseSetCurve4, 5, "nTestF4 4"},
      {MapCurve::RiseSetCurve5, 6, "nTestF5 5"},     {MapCurve::RiseSetCurve6, 7, "nTestF6 6"},
      {MapCurve::NorthPenumbraLimit, 8, "nNPen 7"},  {MapCurve::NorthUmbraLimit, 9, "nNUmb 8"},
      {MapCurve::CentralLine, 10, "nClin 9"},        {MapCurve::SouthUmbraLimit, 11, "nSUmb 10"},
      {MapCurve::SouthPenumbraLimit, 12, "nSPen 11"}, {MapCurve::MaxAtHorizonNorth, 13, "nMaxHN 12"},
      {MapCurve::MaxAtHorizonSouth, 14, "nMaxHS 13"}, {MapCurve::MaxAtSunrise, 15, "nMaxR 14"},
      {MapCurve::MaxAtSunset, 16, "nMaxS 23041"},
  };
  for (const Row& r : rows) {
    QTest::newRow(r.text) << static_cast<int>(r.curve) << r.panel << QString::fromLatin1(r.text);
  }
}

void PanelsTest::statusPanelsShowTheCurveCounts() {
  QFETCH(int, curve);
  QFETCH(int, panel);
  QFETCH(QString, text);
  // Every curve drawn, each with the count its row names.
  darvelle::DrawnCurves drawn;
  const int counts[darvelle::kMapCurveCount] = {7, 8, 10, 9, 11, 1, 2, 3, 4, 5, 6, 13, 12, 14, 23041};
  for (int i = 0; i < darvelle::kMapCurveCount; ++i) drawn.pointCounts[i] = counts[i];
  const darvelle::ui::StatusPanelTexts texts = darvelle::ui::StatusPanelTextsOf(drawn);
  QCOMPARE(darvelle::ui::StatusPanelOf(static_cast<darvelle::MapCurve>(curve)).panel, panel);
  QVERIFY(texts[panel].has_value());
  QCOMPARE(*texts[panel], text);
}

// Panels of curves not drawn, and the two the drawing never writes (the
// eclipse's number and the coastline count), keep their old texts.
void PanelsTest::statusPanelsLeaveWhatWasNotDrawn() {
  darvelle::DrawnCurves drawn;
  drawn.pointCounts[static_cast<std::size_t>(darvelle::MapCurve::CentralLine)] = 301;
  const darvelle::ui::StatusPanelTexts texts = darvelle::ui::StatusPanelTextsOf(drawn);
  for (int p = 0; p < darvelle::ui::kStatusPanelCount; ++p) {
    if (p == 10) {
      QCOMPARE(texts[p], std::optional<QString>(QStringLiteral("nClin 301")));
    } else {
      QVERIFY2(!texts[p].has_value(), qPrintable(QStringLiteral("panel %1").arg(p)));
    }
  }
}

// The inner contacts are named after totality or annularity: as seen here,
// or, where the eclipse is partial here, as it is central elsewhere.
void PanelsTest::contactNamesFollowTheCentralPhase_data() {
  QTest::addColumn<int>("onEarth");
  QTest::addColumn<int>("here");
  QTest::addColumn<QString>("c2");
  using darvelle::EclipseKind;
  using darvelle::LocalKind;
  QTest::newRow("total, seen total") << int(EclipseKind::Total) << int(LocalKind::kTotal) << "Totality begins (C2)";
  QTest::newRow("total, partial here") << int(EclipseKind::Total) << int(LocalKind::kPartial) << "Totality begins (C2)";
  QTest::newRow("annular, partial here") << int(EclipseKind::Annular) << int(LocalKind::kPartial)
                                         << "Annularity begins (C2)";
  QTest::newRow("non-central annular, partial here")
      << int(EclipseKind::NonCentralAnnular) << int(LocalKind::kPartial) << "Annularity begins (C2)";
  QTest::newRow("hybrid, annular here") << int(EclipseKind::Hybrid) << int(LocalKind::kAnnular)
                                        << "Annularity begins (C2)";
  QTest::newRow("hybrid, total here") << int(EclipseKind::Hybrid) << int(LocalKind::kTotal) << "Totality begins (C2)";
}

void PanelsTest::contactNamesFollowTheCentralPhase() {
  QFETCH(int, onEarth);
  QFETCH(int, here);
  QFETCH(QString, c2);
  darvelle::ui::ShownEclipse eclipse;
  eclipse.elements.kind = static_cast<darvelle::EclipseKind>(onEarth);
  darvelle::LocalCircumstances local;
  local.Kind = static_cast<darvelle::LocalKind>(here);
  const darvelle::ui::LocalTexts texts =
      darvelle::ui::FormatLocalCircumstances(eclipse, darvelle::ui::ObserverPlace{}, local, darvelle::kEnglish);
  QCOMPARE(texts.rows[darvelle::ui::kRowC2].event, c2);
  QVERIFY(texts.rows[darvelle::ui::kRowC3].event.startsWith(c2.section(QLatin1Char(' '), 0, 0)));
}

void PanelsTest::viewAnglesReadWithOneDecimal_data() {
  QTest::addColumn<double>("angle");
  QTest::addColumn<QString>("text");
  QTest::newRow("positive") << 12.34 << "12.3";
  QTest::newRow("negative") << -12.36 << "-12.4";
  QTest::newRow("zero") << 0.0 << "0.0";
  // A turn of a few hundredths west is no turn as the edit shows it.
  QTest::newRow("negative zero") << -0.0 << "0.0";
  QTest::newRow("rounds to zero from below") << -0.04 << "0.0";
  QTest::newRow("rounds away from zero") << -0.06 << "-0.1";
}

void PanelsTest::viewAnglesReadWithOneDecimal() {
  QFETCH(double, angle);
  QFETCH(QString, text);
  QCOMPARE(darvelle::ui::OneDecimal(angle), text);
  QCOMPARE(darvelle::ui::AsShownWithOneDecimal(angle), text.toDouble());
}

QTEST_MAIN(PanelsTest)
#include "panels_test.moc"
