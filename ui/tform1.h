#pragma once

#include <QImage>
#include <QMainWindow>
#include <QMargins>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>

#include "model/language.h"
#include "model/state.h"
#include "ui/dialogs.h"
#include "ui/window_language.h"

class QAction;
class QLabel;
class QLineEdit;
class QMimeData;
class QSettings;
class QTextBrowser;
namespace Ui {
class TForm1;
}

namespace brenmoor {

class CapacityDialog;
class SectionGridModel;
struct ReportInfo;

// The main window, Form1: the section fields, the grid of imported sections,
// the preview of the selected section, the usage notes and the two commands.
// It shows what the core leaves in the state and computes nothing itself; the
// section fields are display only and nothing reads them back.
//
// Around the fixed form: a context menu on the grid and on the preview to
// export the section report as PDF (and, on the preview, to save the selected
// section's drawing as a picture), to open the selected section's capacity
// (a dialog that follows the selected row), to export the capacity report of
// the whole table and to save the table with the suggested grids; Ctrl+P to
// print the report, a table file
// dropped on the window is imported, and a fourth status bar panel tells what
// the last generate wrote. The same menus switch the window between Chinese
// (the default) and English, remembered for the next start, and show the
// About box.
class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  // state is main's and outlives the window; decimal_separator is the one the
  // table's numbers are read and the grid's numbers shown with.
  TForm1(BrenmoorState& state, char decimal_separator, QWidget* parent = nullptr);
  ~TForm1() override;

  // The dialogs and the error report, for tests to steer.
  FileDialog& OpenDialog1() { return open_dialog_; }
  SaveDialog& SaveDialog1() { return save_dialog_; }
  PrintDialog& PrintDialog1() { return print_dialog_; }
  ErrorReport& Errors() { return error_report_; }
  // Keeps the window's settings (the folder of the last table, the
  // language) in the INI file at path instead of the user's, and takes the
  // language from there. Use only for testing.
  void UseSettingsFileForTesting(const QString& path);
  // How long work runs before its progress dialog shows (normally
  // WindowProgress::kDelayMs). Use only for testing.
  void SetProgressDelayForTesting(int ms) { progress_delay_ms_ = ms; }

  // Shows every text of the window, Qt's own texts and the reports it
  // exports in language, at once, and remembers it for the next start.
  void SetLanguage(Language language);
  Language CurrentLanguage() const { return language_; }
  // The translations installed for the current language. For testing.
  const WindowTranslators& Translators() const { return translators_; }
  // The About box; its "About Qt" button shows Qt's own.
  void ShowAbout();

  // Generate: writes KAVOSEC.PF3CMP into the current working folder from the
  // imported sections and says in the status bar what it wrote. Long work
  // (generate, import, the report exported or printed) shows a progress
  // dialog whose Cancel leaves every file, and the table imported before,
  // as they were.
  void Button1Click();
  // Generate into a folder the engineer chooses, offered first in the one
  // chosen last (for as long as the window is open).
  void GenerateTo();
  // Shows the user's guide in the window's language (F1).
  void ShowGuide();
  // The guide's window once opened, else nullptr. For testing.
  QTextBrowser* GuideWindow() const { return guide_; }
  // Looks for the guides in folder alone. Use only for testing.
  void UseGuideFolderForTesting(const QString& folder) { guide_folder_ = folder; }
  FolderDialog& FolderDialog1() { return folder_dialog_; }
  // Selects the section `step` rows from the selected one, as a click on
  // it does; nothing past either end.
  void StepSection(int step);

  // Import: asks for a section table, starting in the folder of the table
  // imported last, shows it in the grid and its row 1 in the panel. A
  // refused table keeps the table imported before, its grid and selection;
  // a cancel of the open dialog leaves the title row alone and the panel
  // empty.
  void Button3Click();
  // A mouse button went down on grid row `row` (0 the title row). Ignored
  // while nothing is imported and for rows past the last section; otherwise
  // the row becomes the selected one, its cells go into the section fields
  // and the preview draws its record.
  void StringGrid1MouseDown(int row);
  // The grid row last clicked, which is also the record the preview draws.
  int SelectedRow() const { return selected_row_; }

  // Imports the table at path as if it had been chosen in the open dialog.
  void ImportTableFile(const QString& path);
  // Asks where to and writes the section report of the imported sections as
  // PDF (nothing while none is imported).
  void ExportReport();
  // Prints the section report through the print dialog.
  void PrintReport();
  // Asks where to and saves the selected section's drawing, as in the
  // report, as a PNG picture of kPictureSize pixels square.
  void SavePicture();

  static constexpr int kPictureSize = 1600;

  // Where the window opens where the screen has room: its frame's top-left
  // corner, its client area (the status bar's height included) and the
  // frame assumed until the window system tells its own.
  static constexpr QPoint kDesignPosition{246, 158};
  static constexpr QSize kClientSize{1024, 690};
  static constexpr QMargins kDesignFrame{4, 23, 4, 4};
  static constexpr int kStatusBarHeight = 19;

  // Opens (or brings forward) the capacity dialog on the selected section;
  // it then follows the selected row. Nothing while no row of this import
  // is selected.
  void ShowCapacity();
  // The capacity dialog once opened, else nullptr. For testing.
  CapacityDialog* CapacityWindow() const { return capacity_dialog_; }

  // Asks where to (beside the table, "<table>.capacity.pdf") and writes the
  // capacity report of every imported section, with the capacity options the
  // window remembers, in the window's language. Nothing while none is
  // imported.
  void ExportCapacityReport();
  // Asks where to (beside the table, "<table>.refined.csv") and writes a copy
  // of the table with the best grid of every section it improves, every
  // other byte kept (the biaxial error taken at the remembered capacity
  // options), then imports that copy and says in the status bar how many
  // sections it changed. Nothing while none is imported. A cancel leaves
  // every file and the table imported before as they were.
  void SaveRefinedTable();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  template <typename Action>
  void ReportErrors(Action&& action);
  // Opens where designed, moved or shrunk into the screen's room for
  // windows as far as needed (PlaceWindow), with frame around it.
  void FitToScreen(QMargins frame);
  void Import(const std::optional<QString>& path);
  // Row 1 of the table just imported, as if clicked; nothing for an empty
  // table.
  void SelectFirstRow();
  // "Brenmoor — <table>", or "Brenmoor" while none is imported.
  void ShowTableInTitle();
  // Writes the component file into folder, the working folder when empty.
  void Generate(const QString& folder);
  // The status panel forgets what the last command said.
  void ForgetLastResult();
  // The status panel says an export wrote written, with a link to its folder.
  void ShowWritten(const std::filesystem::path& written);
  QStringList GuideFolders() const;
  // What a press on grid row `row` shows: the fields, the preview and the
  // capacity dialog when open.
  void SelectRow(int row);
  void RedrawPreview();
  void UpdateActions();
  void ShowContextMenu(QWidget* widget, const QPoint& pos, bool with_picture);
  void ApplyLanguage(Language language);
  // The texts the window sets itself, in the current language.
  void RetranslateOwnTexts();
  ReportInfo CurrentReportInfo() const;
  // The parts of setting the window up: the fixed form's colours and logo,
  // the status bar's panels, the context menus' actions.
  void SetUpForm();
  void SetUpStatusBar();
  void SetUpActions();
  // The import's warnings in the fourth status panel, the first in full and
  // all of them in its tooltip.
  void ShowImportWarnings();

  std::unique_ptr<Ui::TForm1> ui_;
  BrenmoorState& state_;
  char decimal_separator_;
  SectionGridModel* grid_model_;
  // Edit13, Edit10, Edit11, Edit1 ... Edit9, Edit12: the fields of grid
  // columns 1 to 13.
  std::array<QLineEdit*, 13> fields_by_column_{};
  QLabel* developer_panel_ = nullptr;
  QLabel* generated_panel_ = nullptr;
  // What the last generate wrote (section count and path), for its panel.
  std::optional<std::pair<int, QString>> generated_;
  // Whether that panel shows the warnings of the last import instead.
  bool warnings_shown_ = false;
  // What the last save with the suggested grids did (sections changed and
  // the copy's path), for the same panel when no generate came after it.
  std::optional<std::pair<int, QString>> refined_;
  QAction* export_action_ = nullptr;
  QAction* print_action_ = nullptr;
  QAction* picture_action_ = nullptr;
  QAction* english_action_ = nullptr;
  QAction* chinese_action_ = nullptr;
  QAction* about_action_ = nullptr;
  Language language_ = Language::kChinese;
  WindowTranslators translators_;
  QAction* capacity_action_ = nullptr;
  QAction* capacity_report_action_ = nullptr;
  QAction* refine_action_ = nullptr;
  QAction* import_action_ = nullptr;
  QAction* generate_action_ = nullptr;
  QAction* generate_to_action_ = nullptr;
  QAction* guide_action_ = nullptr;
  // The path the last export wrote, for the status panel.
  std::optional<QString> exported_;
  // Whether the panel still shows where to find the commands (until the
  // first table is imported).
  bool start_hint_ = true;
  // The folder "generate to" chose last; not kept past this window.
  QString generate_folder_;
  FolderDialog folder_dialog_;
  QTextBrowser* guide_ = nullptr;  // a child of the window
  QString guide_folder_;
  CapacityDialog* capacity_dialog_ = nullptr;  // a child of the window
  FileDialog open_dialog_;
  SaveDialog save_dialog_;
  PrintDialog print_dialog_;
  ErrorReport error_report_;
  // Said under the next error reported: what an import that failed kept.
  QString error_note_;
  std::unique_ptr<QSettings> settings_;
  QString table_path_;  // the table the imported sections came from
  // Whether the selected row was chosen in the grid of this import; after a
  // new import it may name another section than the preview shows.
  bool selection_of_this_import_ = false;
  std::int32_t selected_row_ = 0;
  QImage preview_;       // made at the first accepted click, kept after
  bool placed_ = false;  // once shown, where it is is the engineer's choice
  int progress_delay_ms_;
};

// The one table file among data dropped on the window, or nothing.
std::optional<QString> DroppedTable(const QMimeData& data);

}  // namespace brenmoor
