#include "ui/help_browser.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <exception>

#include "catalogue/data_files.h"

namespace darvelle::ui {

const char* HelpIndexFile(Language language) {
  switch (language) {
    case kGerman: return "help/darvelleEN/de/index.html";
    case kFrench: return "help/darvelleEN/fr/index.html";
    default: return kHelpIndexFile;
  }
}

QString HelpBrowser::ShowContents(HelpBrowser*& window, QWidget* owner, const std::optional<std::filesystem::path>& dataFolder,
                                  Language language) {
  try {
    const std::filesystem::path index = FindDataFile(HelpIndexFile(language), dataFolder);
    if (window == nullptr) window = new HelpBrowser(owner);
    window->OpenContents(index);
    window->show();
    window->raise();
    return {};
  } catch (const std::exception& e) {
    return QString::fromStdString(e.what());
  }
}

HelpBrowser::HelpBrowser(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Darvelle help"));
  resize(760, 640);
  browser_ = new QTextBrowser(this);
  browser_->setObjectName(QStringLiteral("HelpBrowser"));
  browser_->setOpenExternalLinks(true);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(16);
  browser_->setFont(font);

  auto* contents = new QPushButton(QStringLiteral("Contents"), this);
  contents->setObjectName(QStringLiteral("HelpContents"));
  auto* back = new QPushButton(QStringLiteral("Back"), this);
  back->setObjectName(QStringLiteral("HelpBack"));
  connect(contents, &QPushButton::clicked, browser_, &QTextBrowser::home);
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  back->setEnabled(false);
  // The window is named after the page shown, as a help viewer's is.
  connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Darvelle help") : title);
  });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(contents);
  buttons->addWidget(back);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(browser_, 1);
}

void HelpBrowser::OpenContents(const std::filesystem::path& index) {
  browser_->setSource(QUrl::fromLocalFile(QString::fromStdString(index.string())));
  browser_->clearHistory();
}

}  // namespace darvelle::ui
