#pragma once
// The in-program help: the "darvelleEN" pages (English, with the German and
// French pages in its folders de/ and fr/), opened at the table of contents
// in the window's language in a browser window of their own.

#include <QWidget>
#include <filesystem>
#include <optional>

#include "catalogue/language.h"

class QTextBrowser;

namespace darvelle::ui {

// The table of contents of the help, relative to the data folder.
inline constexpr const char* kHelpIndexFile = "help/darvelleEN/index.html";

// The table of contents in the window's language (0 German, 1 English,
// 2 French); each links to the other two. English for any other value.
const char* HelpIndexFile(Language language);

class HelpBrowser : public QWidget {
  Q_OBJECT
 public:
  explicit HelpBrowser(QWidget* parent = nullptr);
  // Shows `index`, the table of contents; links between the pages work.
  void OpenContents(const std::filesystem::path& index);
  QTextBrowser* Browser() const { return browser_; }
  // Shows the table of contents in `language` from `dataFolder` in `window`,
  // made as `owner`'s help window at the first call. Returns why the pages
  // cannot be shown; empty when they are.
  static QString ShowContents(HelpBrowser*& window, QWidget* owner, const std::optional<std::filesystem::path>& dataFolder,
                              Language language);

 private:
  QTextBrowser* browser_;
};

}  // namespace darvelle::ui
