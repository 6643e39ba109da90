#pragma once
// The in-program help: the "darvelleEN" pages, opened at their table of
// contents in a browser window of their own.

#include <QWidget>
#include <filesystem>

class QTextBrowser;

namespace darvelle::ui {

// The table of contents of the help, relative to the data folder.
inline constexpr const char* kHelpIndexFile = "help/darvelleEN/index.html";

class HelpBrowser : public QWidget {
  Q_OBJECT
 public:
  explicit HelpBrowser(QWidget* parent = nullptr);
  // Shows `index`, the table of contents; links between the pages work.
  void OpenContents(const std::filesystem::path& index);
  QTextBrowser* Browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};

}  // namespace darvelle::ui
