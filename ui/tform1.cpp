#include "ui/tform1.h"

#include <QAction>
#include <QActionGroup>
#include <QBuffer>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QShowEvent>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <utility>

#include "import/section_import.h"
#include "jobs/capacity_job.h"
#include "jobs/convert_job.h"
#include "jobs/export_job.h"
#include "jobs/report_job.h"
#include "model/section_properties.h"
#include "output/byte_sink.h"
#include "platform/files.h"
#include "platform/text.h"
#include "report/figures.h"
#include "report/section_drawing.h"
#include "report/section_report.h"
#include "ui/capacity_dialog.h"
#include "ui/grid_cells.h"
#include "ui/jpeg_image.h"
#include "ui/screen_fit.h"
#include "ui/section_grid.h"
#include "ui/section_preview.h"
#include "ui/window_jobs.h"
#include "ui/window_progress.h"
#include "ui_tform1.h"

// Q_INIT_RESOURCE must be used outside any namespace; the logo lives in a
// static library and would otherwise be dropped by the linker.
static void InitUiResources() { Q_INIT_RESOURCE(ui); }

namespace brenmoor {
namespace {

const QColor kMemoYellow(255, 255, 0);
const QString kLastFolderKey = QStringLiteral("import/lastFolder");
const QString kLanguageKey = QStringLiteral("window/language");

std::filesystem::path PathOf(const QString& path) { return PathFromUtf8(path.toStdString()); }

QAction* MakeAction(QWidget* owner, const char* name, const QString& text, const QString& tip) {
  auto* action = new QAction(text, owner);
  action->setObjectName(QString::fromLatin1(name));
  action->setToolTip(tip);
  action->setEnabled(false);
  owner->addAction(action);
  return action;
}

QLabel* StatusPanel(QStatusBar* bar, const QString& text, int width) {
  auto* panel = new QLabel(text, bar);
  panel->setFixedWidth(width);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  bar->addWidget(panel);
  return panel;
}

}  // namespace

TForm1::TForm1(BrenmoorState& state, char decimal_separator, QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::TForm1>()),
      state_(state),
      decimal_separator_(decimal_separator),
      progress_delay_ms_(WindowProgress::kDelayMs) {
  InitUiResources();
  ui_->setupUi(this);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(11);
  setFont(font);
  // On a screen smaller than the window the fixed layout scrolls, so that no
  // control is ever out of reach; on any other it shows whole, as designed.
  QWidget* client = takeCentralWidget();
  // Scroll bars only where a control would be cut off, not for the empty
  // margin to the right of and below the controls.
  const QRect used = client->childrenRect();
  client->setMinimumSize(used.right() + 1 + used.left(), used.bottom() + 1 + used.left());
  auto* scroller = new QScrollArea(this);
  scroller->setObjectName(QStringLiteral("ClientScroller"));
  scroller->setFrameShape(QFrame::NoFrame);
  scroller->setFocusPolicy(Qt::NoFocus);
  scroller->setWidgetResizable(true);
  scroller->setWidget(client);
  setCentralWidget(scroller);
  move(kDesignPosition);
  SetUpForm();
  SetUpStatusBar();

  settings_ = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                          QStringLiteral("Brenmoor"), QStringLiteral("Brenmoor"));

  grid_model_ = new SectionGridModel(state_, decimal_separator_, this);
  ui_->StringGrid1->setModel(grid_model_);

  fields_by_column_ = {ui_->Edit13, ui_->Edit10, ui_->Edit11, ui_->Edit1, ui_->Edit2,
                       ui_->Edit3,  ui_->Edit4,  ui_->Edit5,  ui_->Edit6, ui_->Edit7,
                       ui_->Edit8,  ui_->Edit9,  ui_->Edit12};
  // They show the selected row; nothing reads them, so typing would only
  // make them disagree with the grid.
  for (QLineEdit* field : fields_by_column_) field->setReadOnly(true);

  connect(ui_->Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
  connect(ui_->Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
  connect(ui_->StringGrid1, &SectionGrid::MouseDown, this, &TForm1::StringGrid1MouseDown);
  SetUpActions();

  // A table dropped anywhere on the window is imported; the fields would
  // otherwise take the dropped file's name as text.
  setAcceptDrops(true);
  for (QLineEdit* field : findChildren<QLineEdit*>()) field->setAcceptDrops(false);

  ApplyLanguage(LanguageFromCode(settings_->value(kLanguageKey).toString().toStdString())
                    .value_or(Language::kChinese));
}

void TForm1::SetUpForm() {
  QPalette white_panel = ui_->Panel2->palette();
  white_panel.setColor(QPalette::Window, Qt::white);
  ui_->Panel2->setPalette(white_panel);
  QPalette memo = ui_->Memo1->palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    memo.setColor(group, QPalette::Base, kMemoYellow);
    // The notes are disabled only so that they take no input; they must
    // stay readable.
    memo.setColor(group, QPalette::Text, memo.color(QPalette::Active, QPalette::WindowText));
  }
  ui_->Memo1->setPalette(memo);

  QFile logo(QStringLiteral(":/brenmoor/logo.jpg"));
  logo.open(QIODevice::ReadOnly);
  const QImage picture = DecodeJpeg(logo.readAll());
  ui_->Image2->setPixmap(QPixmap::fromImage(picture));
  ui_->Image2->resize(picture.size());
}

void TForm1::SetUpStatusBar() {
  ui_->StatusBar1->setFixedHeight(kStatusBarHeight);
  developer_panel_ = StatusPanel(ui_->StatusBar1, QString(), 80);
  developer_panel_->setObjectName(QStringLiteral("StatusPanel1"));
  StatusPanel(ui_->StatusBar1, QStringLiteral("Brenmoor project"), 150)
      ->setObjectName(QStringLiteral("StatusPanel2"));
  StatusPanel(ui_->StatusBar1, QStringLiteral(BRENMOOR_VERSION), 50)
      ->setObjectName(QStringLiteral("StatusPanel3"));

  // The generate command's result, in the room to the right of the three
  // fixed panels.
  generated_panel_ = new QLabel(ui_->StatusBar1);
  generated_panel_->setObjectName(QStringLiteral("StatusPanel4"));
  generated_panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  ui_->StatusBar1->addWidget(generated_panel_, 1);
}

void TForm1::SetUpActions() {
  export_action_ = MakeAction(this, "ExportReportAction", QString(),
                              QStringLiteral("Export section report (PDF)…"));
  print_action_ =
      MakeAction(this, "PrintReportAction", QString(), QStringLiteral("Print section report…"));
  print_action_->setShortcut(QKeySequence::Print);
  picture_action_ = MakeAction(this, "SavePictureAction", QString(),
                               QStringLiteral("Save picture of the section…"));
  // Each language's entry is written in that language, whichever is shown.
  english_action_ = MakeAction(this, "EnglishAction", QStringLiteral("English"),
                               QStringLiteral("Show the window and its reports in English"));
  chinese_action_ = MakeAction(this, "ChineseAction", QStringLiteral("中文"),
                               QStringLiteral("Show the window and its reports in Chinese"));
  about_action_ = MakeAction(this, "AboutAction", QString(), QStringLiteral("About Brenmoor…"));
  auto* languages = new QActionGroup(this);
  for (QAction* action : {english_action_, chinese_action_}) {
    action->setCheckable(true);
    action->setEnabled(true);
    languages->addAction(action);
  }
  about_action_->setEnabled(true);
  capacity_action_ =
      MakeAction(this, "CapacityAction", QString(), QStringLiteral("Section capacity…"));
  capacity_report_action_ = MakeAction(this, "CapacityReportAction", QString(),
                                       QStringLiteral("Export capacity report (PDF)…"));
  refine_action_ = MakeAction(this, "RefineAction", QString(),
                              QStringLiteral("Save the table with the suggested grids…"));
  import_action_ = MakeAction(this, "ImportAction", QString(), QString());
  import_action_->setShortcut(QKeySequence::Open);
  generate_action_ = MakeAction(this, "GenerateAction", QString(), QString());
  generate_action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  generate_to_action_ = MakeAction(this, "GenerateToAction", QString(), QString());
  guide_action_ = MakeAction(this, "GuideAction", QString(), QString());
  guide_action_->setShortcut(QKeySequence::HelpContents);
  capacity_action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  // The menu is the one place these commands are listed: it names their keys.
  for (QAction* action : actions()) {
    action->setShortcutContext(Qt::WindowShortcut);
    action->setShortcutVisibleInContextMenu(true);
  }
  for (QAction* action : {import_action_, generate_action_, generate_to_action_, guide_action_})
    action->setEnabled(true);
  connect(import_action_, &QAction::triggered, this, &TForm1::Button3Click);
  connect(generate_action_, &QAction::triggered, this, &TForm1::Button1Click);
  connect(generate_to_action_, &QAction::triggered, this, &TForm1::GenerateTo);
  connect(guide_action_, &QAction::triggered, this, &TForm1::ShowGuide);
  // The status bar's link to the folder an export went to.
  connect(generated_panel_, &QLabel::linkActivated, this,
          [](const QString& link) { QDesktopServices::openUrl(QUrl(link)); });
  connect(english_action_, &QAction::triggered, this, [this] { SetLanguage(Language::kEnglish); });
  connect(chinese_action_, &QAction::triggered, this, [this] { SetLanguage(Language::kChinese); });
  connect(about_action_, &QAction::triggered, this, &TForm1::ShowAbout);
  connect(export_action_, &QAction::triggered, this, &TForm1::ExportReport);
  connect(print_action_, &QAction::triggered, this, &TForm1::PrintReport);
  connect(picture_action_, &QAction::triggered, this, &TForm1::SavePicture);
  connect(capacity_action_, &QAction::triggered, this, &TForm1::ShowCapacity);
  connect(capacity_report_action_, &QAction::triggered, this, &TForm1::ExportCapacityReport);
  connect(refine_action_, &QAction::triggered, this, &TForm1::SaveRefinedTable);
  ui_->StringGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ui_->StringGrid1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { ShowContextMenu(ui_->StringGrid1->viewport(), pos, false); });
  ui_->Image1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(ui_->Image1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { ShowContextMenu(ui_->Image1, pos, true); });
}

void TForm1::UseSettingsFileForTesting(const QString& path) {
  settings_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
  ApplyLanguage(LanguageFromCode(settings_->value(kLanguageKey).toString().toStdString())
                    .value_or(Language::kChinese));
}

void TForm1::SetLanguage(Language language) {
  ApplyLanguage(language);
  settings_->setValue(kLanguageKey, QString::fromLatin1(LanguageCode(language)));
}

void TForm1::ApplyLanguage(Language language) {
  language_ = language;
  translators_.Install(language);
  (language == Language::kEnglish ? english_action_ : chinese_action_)->setChecked(true);
  if (capacity_dialog_ != nullptr) capacity_dialog_->SetLanguage(language);
  // The application also posts a language change to the window; doing it
  // here as well shows the new texts before the menu has closed.
  ui_->retranslateUi(this);
  RetranslateOwnTexts();
}

void TForm1::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) {
    ui_->retranslateUi(this);
    RetranslateOwnTexts();
  }
  QMainWindow::changeEvent(event);
}

void TForm1::RetranslateOwnTexts() {
  developer_panel_->setText(tr("开发者"));
  export_action_->setText(tr("导出截面报告 (PDF)…"));
  print_action_->setText(tr("打印截面报告…"));
  picture_action_->setText(tr("保存图片…"));
  capacity_action_->setText(tr("截面承载力…"));
  capacity_report_action_->setText(tr("导出承载力报告 (PDF)…"));
  refine_action_->setText(tr("按建议网格另存表格…"));
  refine_action_->setToolTip(tr("为每个截面找出 60 根纤维之内误差最小的网格，另存表格并导入"));
  about_action_->setText(tr("关于 Brenmoor…"));
  import_action_->setText(tr("导入数据表格…"));
  generate_action_->setText(tr("生成到当前文件夹"));
  generate_to_action_->setText(tr("生成到…"));
  generate_to_action_->setToolTip(
      tr("选择写入 %1 的文件夹").arg(QLatin1String(kComponentFileName)));
  guide_action_->setText(tr("用户指南"));
  generated_panel_->setTextFormat(Qt::PlainText);
  if (exported_) {
    // A link: a click opens the folder the file went to.
    const QFileInfo file(*exported_);
    generated_panel_->setStyleSheet(QString());
    generated_panel_->setTextFormat(Qt::RichText);
    generated_panel_->setText(
        tr("已写入 %1")
            .arg(QStringLiteral("<a href=\"%1\">%2</a>")
                     .arg(QUrl::fromLocalFile(file.absolutePath()).toString(),
                          QDir::toNativeSeparators(*exported_).toHtmlEscaped())));
    generated_panel_->setToolTip(tr("单击打开所在文件夹"));
  } else if (generated_) {
    generated_panel_->setStyleSheet(QString());
    generated_panel_->setText(
        tr("已生成 %n 个截面 → %1", nullptr, generated_->first).arg(generated_->second));
  } else if (refined_) {
    generated_panel_->setStyleSheet(QString());
    generated_panel_->setText(
        tr("已按建议网格改了 %n 个截面 → %1", nullptr, refined_->first).arg(refined_->second));
  } else if (warnings_shown_) {
    ShowImportWarnings();
  } else if (start_hint_) {
    generated_panel_->setText(tr("更多功能：在表格或截面图上单击右键；F1 打开用户指南"));
  }
}

void TForm1::ShowAbout() {
  AboutBox about = MakeAboutBox(this);
  about.box->exec();
  if (about.box->clickedButton() == about.about_qt) QMessageBox::aboutQt(this);
}

void TForm1::ShowContextMenu(QWidget* widget, const QPoint& pos, bool with_picture) {
  UpdateActions();
  QMenu menu(this);
  menu.setToolTipsVisible(true);
  menu.addAction(import_action_);
  menu.addAction(generate_action_);
  menu.addAction(generate_to_action_);
  menu.addSeparator();
  menu.addAction(export_action_);
  menu.addAction(print_action_);
  if (with_picture) menu.addAction(picture_action_);
  menu.addAction(capacity_action_);
  menu.addAction(capacity_report_action_);
  menu.addAction(refine_action_);
  menu.addSeparator();
  menu.addAction(chinese_action_);
  menu.addAction(english_action_);
  menu.addSeparator();
  menu.addAction(guide_action_);
  menu.addAction(about_action_);
  menu.exec(widget->mapToGlobal(pos));
}

void TForm1::UpdateActions() {
  const bool imported = state_.imported_count > 0;
  export_action_->setEnabled(imported);
  print_action_->setEnabled(imported);
  capacity_report_action_->setEnabled(imported);
  refine_action_->setEnabled(imported);
  const bool selected = imported && selection_of_this_import_ && selected_row_ >= 1 &&
                        selected_row_ <= state_.imported_count;
  picture_action_->setEnabled(selected);
  capacity_action_->setEnabled(selected);
}

void TForm1::ShowCapacity() {
  if (!capacity_action_->isEnabled()) return;
  if (capacity_dialog_ == nullptr) {
    capacity_dialog_ = new CapacityDialog(state_, save_dialog_, error_report_,
                                          LoadCapacityOptions(*settings_), this);
    connect(capacity_dialog_, &CapacityDialog::OptionsChanged, this,
            [this](const CapacityOptions& options) { SaveCapacityOptions(*settings_, options); });
    connect(capacity_dialog_, &CapacityDialog::StepRequested, this, &TForm1::StepSection);
  }
  capacity_dialog_->SetLanguage(language_);
  capacity_dialog_->ShowRecord(selected_row_, table_path_);
  capacity_dialog_->show();
  capacity_dialog_->raise();
  capacity_dialog_->activateWindow();
}

TForm1::~TForm1() = default;

void TForm1::StepSection(int step) {
  const int row = selected_row_ + step;
  if (!selection_of_this_import_ || row < 1 || row > state_.imported_count) return;
  const QModelIndex cell = grid_model_->index(row - 1, 0);
  ui_->StringGrid1->setCurrentIndex(cell);
  ui_->StringGrid1->scrollTo(cell);
  ReportErrors([this, row] { SelectRow(row); });
}

QStringList TForm1::GuideFolders() const {
  if (!guide_folder_.isEmpty()) return {guide_folder_};
  // Beside the program in docs (the Windows folder, and the build tree,
  // which copies the guides there), else the package's doc folder.
  const QDir program(QCoreApplication::applicationDirPath());
  return {QDir::cleanPath(program.filePath(QStringLiteral("docs"))),
          QDir::cleanPath(program.filePath(QStringLiteral("../share/doc/brenmoor")))};
}

void TForm1::ShowGuide() {
  ReportErrors([this] {
    const QString name = language_ == Language::kEnglish ? QStringLiteral("guide.en.md")
                                                         : QStringLiteral("guide.zh.md");
    QString path;
    const QStringList folders = GuideFolders();
    for (const QString& folder : folders) {
      if (QFileInfo::exists(QDir(folder).filePath(name))) {
        path = QDir(folder).filePath(name);
        break;
      }
    }
    if (path.isEmpty()) {
      throw Error(tr("找不到用户指南 %1，已查找：%2")
                      .arg(name, QDir::toNativeSeparators(folders.join(QStringLiteral("; "))))
                      .toStdString());
    }
    if (guide_ == nullptr) {
      guide_ = new QTextBrowser(this);
      guide_->setWindowFlag(Qt::Window);
      guide_->setObjectName(QStringLiteral("GuideBrowser"));
      guide_->setOpenExternalLinks(true);
      guide_->setFont(QFont());  // the system's, for reading; not the form's 11 pixels
      const QScreen* screen = ScreenAt(frameGeometry().center());
      const QRect available = screen->availableGeometry();
      const WindowPlacement placed = PlaceWindow(frameGeometry().topLeft() + QPoint(40, 0),
                                                 QSize(860, 760), kDesignFrame, available);
      guide_->resize(placed.client);
      guide_->move(placed.position);
    }
    guide_->setWindowTitle(tr("Brenmoor 用户指南"));
    guide_->setSource(QUrl::fromLocalFile(path));
    guide_->show();
    guide_->raise();
    guide_->activateWindow();
  });
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (event->spontaneous() || placed_) return;
  placed_ = true;
  FitToScreen(FrameOf(*this, kDesignFrame));
  // Placed again once the window system has framed it, with the frame it
  // really has (none without a window manager).
  windowHandle()->installEventFilter(this);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
    windowHandle()->removeEventFilter(this);
    FitToScreen(windowHandle()->frameMargins());
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::FitToScreen(QMargins frame) {
  const QScreen* screen = ScreenAt(kDesignPosition + QPoint(frame.left(), frame.top()));
  const WindowPlacement placed =
      PlaceWindow(kDesignPosition, kClientSize, frame, screen->availableGeometry());
  resize(placed.client);
  move(placed.position);
}

// The one place where a failure of the core meets the engineer: it is shown,
// and the window goes on with whatever state the command left.
template <typename Action>
void TForm1::ReportErrors(Action&& action) {
  try {
    action();
    return;
  } catch (const Cancelled&) {
    // The engineer stopped it: everything is as it was, nothing to report.
    return;
  } catch (const Error& e) {
    ForgetLastResult();
    error_report_.Show(this, e, std::exchange(error_note_, QString()));
  } catch (const std::exception& e) {
    ForgetLastResult();
    error_report_.Show(this, e, std::exchange(error_note_, QString()));
  }
}

void TForm1::ForgetLastResult() {
  generated_.reset();
  refined_.reset();
  exported_.reset();
  generated_panel_->clear();
  generated_panel_->setTextFormat(Qt::PlainText);
  generated_panel_->setToolTip(QString());
  // Until a table is imported, where the commands are is still news.
  if (start_hint_) RetranslateOwnTexts();
}

void TForm1::ShowWritten(const std::filesystem::path& written) {
  ForgetLastResult();
  warnings_shown_ = false;
  exported_ = QString::fromStdString(PathToUtf8(written));
  RetranslateOwnTexts();
}

void TForm1::Button1Click() { Generate(QString()); }

void TForm1::GenerateTo() {
  if (state_.imported_count == 0) return Generate(QString());  // refused as the button is
  const std::optional<QString> folder = folder_dialog_.GetExistingDirectory(
      this, tr("生成到…"), generate_folder_.isEmpty() ? QDir::currentPath() : generate_folder_);
  if (!folder) return;
  generate_folder_ = *folder;
  Generate(*folder);
}

void TForm1::Generate(const QString& folder) {
  // Where the working folder cannot take the file (a table opened from a
  // folder of the system's), the box offers another one.
  std::optional<Error> unwritable;
  ReportErrors([&] {
    // Nothing imported (a refused table, a cancelled dialog): an empty file
    // would replace the component file of the last good import.
    if (state_.imported_count == 0) {
      throw Error(std::string("No section is imported, so there is nothing to generate; ") +
                  kComponentFileName + " was left as it was. Import a section table first");
    }
    WindowProgress progress(this, progress_delay_ms_);
    JobContext context{state_, &progress};
    ConvertRequest request{.table = {PathToUtf8(PathOf(table_path_)), true}};
    if (!folder.isEmpty()) {
      request.output = PathToUtf8(PathOf(folder) / PathFromUtf8(kComponentFileName));
    }
    JobResult result;
    try {
      result = ConvertJob(request, context);
    } catch (const ImportError&) {
      throw;  // a section's fault: another folder would not help
    } catch (const Cancelled&) {
      throw;
    } catch (const Error& e) {
      if (!folder.isEmpty()) throw;
      unwritable = e;
      return;
    }
    const QString written = QString::fromStdString(PathToUtf8(result.written));
    const int count = result.sections;
    ForgetLastResult();
    generated_ = std::make_pair(count, written);
    warnings_shown_ = false;
    RetranslateOwnTexts();
    generated_panel_->setToolTip(QStringLiteral("Generated %1 %2 → %3")
                                     .arg(count)
                                     .arg(count == 1 ? "section" : "sections", written));
  });
  if (unwritable) {
    ForgetLastResult();
    if (error_report_.ShowWithChoice(this, *unwritable, tr("生成到…"))) GenerateTo();
  }
}

void TForm1::Button3Click() {
  ReportErrors([this] {
    Import(open_dialog_.GetOpenFileName(this, settings_->value(kLastFolderKey).toString()));
  });
}

void TForm1::ImportTableFile(const QString& path) {
  ReportErrors([this, &path] { Import(path); });
}

void TForm1::Import(const std::optional<QString>& path) {
  // The grid shows the titles from the first attempt on, whichever way it ends.
  const auto show = qScopeGuard([this] {
    grid_model_->ShowImport();
    UpdateActions();
  });
  if (!path) {
    // A cancelled open dialog discards the table, as it always has; the
    // panel then shows nothing rather than a section the grid no longer has.
    table_path_.clear();
    CancelImport(state_);
    grid_model_->ShowImport();
    SelectFirstRow();
    ShowTableInTitle();
    return;
  }
  // Read into a state of its own, so that a refused or cancelled table
  // leaves the one imported before, its grid and its selection as they were.
  BrenmoorState imported;
  try {
    WindowProgress progress(this, progress_delay_ms_);
    ImportSectionFile(imported, path->toStdString(), decimal_separator_, &progress);
  } catch (const Cancelled&) {
    throw;
  } catch (const Error&) {
    const QString refused = QFileInfo(*path).fileName();
    error_note_ = state_.imported_count > 0 ? tr("未导入 %1；之前导入的 %2 保持不变。")
                                                  .arg(refused, QFileInfo(table_path_).fileName())
                                            : tr("未导入 %1。").arg(refused);
    throw;
  }
  state_ = std::move(imported);
  table_path_ = QFileInfo(*path).absoluteFilePath();
  ShowTableInTitle();
  start_hint_ = false;
  exported_.reset();
  settings_->setValue(kLastFolderKey, QFileInfo(*path).absolutePath());
  // What the generate panel said belongs to the table before; what this
  // one's import found odd takes its place.
  generated_.reset();
  generated_panel_->clear();
  generated_panel_->setToolTip(QString());
  generated_panel_->setStyleSheet(QString());
  refined_.reset();
  warnings_shown_ = !state_.warnings.empty();
  if (warnings_shown_) ShowImportWarnings();
  grid_model_->ShowImport();
  SelectFirstRow();
}

void TForm1::ShowTableInTitle() {
  setWindowTitle(table_path_.isEmpty()
                     ? QStringLiteral("Brenmoor")
                     : QStringLiteral("Brenmoor — %1").arg(QFileInfo(table_path_).fileName()));
}

void TForm1::SelectFirstRow() {
  if (state_.imported_count > 0) {
    ui_->StringGrid1->setCurrentIndex(grid_model_->index(0, 0));
    ui_->StringGrid1->scrollToTop();
    SelectRow(1);
    return;
  }
  selected_row_ = 0;
  selection_of_this_import_ = false;
  for (QLineEdit* field : fields_by_column_) field->clear();
  ui_->Image1->clear();
  if (capacity_dialog_ != nullptr) capacity_dialog_->ShowRecord(0, QString());
}

void TForm1::ShowImportWarnings() {
  // The messages are the core's, the same in both languages, as errors are.
  QStringList lines;
  for (const TableWarning& warning : state_.warnings) {
    lines << tr("第 %1 行：%2")
                 .arg(warning.line)
                 .arg(QString::fromStdString(DisplayMessage(ErrorReportText(warning.message))));
  }
  const int more = static_cast<int>(lines.size()) - 1;
  generated_panel_->setText(more > 0 ? tr("%1（还有 %n 条警告）", nullptr, more).arg(lines.front())
                                     : lines.value(0));
  generated_panel_->setTextFormat(Qt::PlainText);
  generated_panel_->setToolTip(lines.join(u'\n'));
  generated_panel_->setStyleSheet(QStringLiteral("color: #be0000"));
}

ReportInfo TForm1::CurrentReportInfo() const {
  ReportInfo info;
  info.table_name = QFileInfo(table_path_).fileName();
  info.date = QDate::currentDate();
  info.version = QStringLiteral(BRENMOOR_VERSION);
  info.language = language_;
  return info;
}

void TForm1::ExportReport() {
  if (state_.imported_count == 0) return;
  ReportErrors([this] {
    const QFileInfo table(table_path_);
    const std::optional<QString> path = save_dialog_.GetSaveFileName(
        this, tr("导出截面报告 (PDF)"),
        table.absolutePath() + u'/' + table.completeBaseName() + QStringLiteral(".pdf"),
        QStringLiteral("PDF (*.pdf)"));
    if (!path) return;
    WindowProgress progress(this, progress_delay_ms_);
    JobContext context{state_, &progress};
    ReportRequest request;
    request.table = {PathToUtf8(PathOf(table_path_)), true};
    request.output = PathToUtf8(PathOf(*path));
    request.language = language_;
    ShowWritten(ReportPdfJob(request, context, WindowReportRenderer()).written);
  });
}

void TForm1::PrintReport() {
  if (state_.imported_count == 0) return;
  ReportErrors([this] {
    // Computed before the dialog, so that a section that cannot be computed
    // is reported before the engineer chooses a printer.
    const BrenmoorState prepared = [this] {
      WindowProgress progress(this, progress_delay_ms_);
      return PreparedCopy(state_, &progress);
    }();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(true);
    printer.setDocName(
        QStringLiteral("Column sections of %1").arg(QFileInfo(table_path_).fileName()));
    if (!print_dialog_.Exec(printer, this)) return;
    WindowProgress progress(this, progress_delay_ms_);
    // Aborted at once, so that no part of the report is printed.
    progress.OnCancel([&printer] { printer.abort(); });
    PaintSectionReport(printer, prepared, CurrentReportInfo(), &progress);
  });
}

void TForm1::ExportCapacityReport() {
  if (state_.imported_count == 0) return;
  ReportErrors([this] {
    const QFileInfo table(table_path_);
    const std::optional<QString> path = save_dialog_.GetSaveFileName(
        this, tr("导出承载力报告 (PDF)"),
        table.absolutePath() + u'/' + table.completeBaseName() + QStringLiteral(".capacity.pdf"),
        QStringLiteral("PDF (*.pdf)"));
    if (!path) return;
    WindowProgress progress(this, progress_delay_ms_);
    JobContext context{state_, &progress};
    CapacityRequest request;
    request.table = {PathToUtf8(PathOf(table_path_)), true};
    request.output = PathToUtf8(PathOf(*path));
    request.options = LoadCapacityOptions(*settings_);
    request.language = language_;
    ShowWritten(CapacityPdfJob(request, context, WindowCapacityRenderer()).written);
  });
}

void TForm1::SaveRefinedTable() {
  if (state_.imported_count == 0) return;
  ReportErrors([this] {
    const QFileInfo table(table_path_);
    const std::optional<QString> path = save_dialog_.GetSaveFileName(
        this, tr("按建议网格另存表格"),
        table.absolutePath() + u'/' + table.completeBaseName() + QStringLiteral(".refined.csv"),
        QStringLiteral("CSV (*.csv)"));
    if (!path) return;
    RefineRequest request;
    request.table = {PathToUtf8(PathOf(table_path_)), true};
    request.output = PathToUtf8(PathOf(*path));
    request.options = LoadCapacityOptions(*settings_);
    const RefineResult result = [&] {
      WindowProgress progress(this, progress_delay_ms_);
      JobContext context{state_, &progress};
      return RefineJob(request, context);
    }();
    // What changed, named before the copy's sections replace these.
    QStringList changes;
    for (int r = 1; r <= state_.imported_count; ++r) {
      const GridChoice& choice = result.choices[static_cast<std::size_t>(r - 1)];
      if (!choice.Improves()) continue;
      changes << QStringLiteral("%1: %2 × %3 → %4 × %5, %6 % → %7 %")
                     .arg(Shown(state_.records[static_cast<std::size_t>(r)].NAME))
                     .arg(choice.FX)
                     .arg(choice.FY)
                     .arg(choice.best_FX)
                     .arg(choice.best_FY)
                     .arg(CapacityFigure(choice.error_pct, 2),
                          CapacityFigure(choice.best_error_pct, 2));
    }
    const QString written = QString::fromStdString(PathToUtf8(result.job.written));
    Import(*path);
    generated_.reset();
    refined_ = std::make_pair(result.job.sections, written);
    RetranslateOwnTexts();
    generated_panel_->setToolTip(changes.join(u'\n'));
  });
}

void TForm1::SavePicture() {
  const int row = selected_row_;
  if (!selection_of_this_import_ || row < 1 || row > state_.imported_count) return;
  ReportErrors([this, row] {
    const QString name = Shown(state_.records[static_cast<std::size_t>(row)].NAME);
    QString file_name = name;
    for (QChar& c : file_name) {
      if (QStringLiteral("/\\:*?\"<>|").contains(c)) c = u'_';
    }
    const std::optional<QString> path = save_dialog_.GetSaveFileName(
        this, tr("保存图片"),
        QFileInfo(table_path_).absolutePath() + u'/' + file_name + QStringLiteral(".png"),
        QStringLiteral("PNG (*.png)"));
    if (!path) return;
    ShowWritten(
        SectionPictureJob({PathToUtf8(PathOf(table_path_)), PathToUtf8(PathOf(*path))}, state_, row,
                          [&](ByteSink& sink, const TSECTION& section) {
                            WritePng(sink, SectionPicture(section, name, kPictureSize), *path);
                          })
            .written);
  });
}

std::optional<QString> DroppedTable(const QMimeData& data) {
  const QList<QUrl> urls = data.urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
  return urls.front().toLocalFile();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (DroppedTable(*event->mimeData())) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const std::optional<QString> path = DroppedTable(*event->mimeData());
  if (!path) return;
  event->acceptProposedAction();
  // After the drop has ended: the file manager that dragged it must not wait
  // on an error box.
  QTimer::singleShot(0, this, [this, table = *path] { ImportTableFile(table); });
}

void TForm1::StringGrid1MouseDown(int row) {
  if (state_.imported_count == 0 || row < 0 || row > state_.imported_count) return;
  ReportErrors([this, row] { SelectRow(row); });
}

void TForm1::SelectRow(int row) {
  selected_row_ = row;
  for (int column = 1; column < kGridColumns; ++column) {
    fields_by_column_[column - 1]->setText(
        Shown(GridCellText(state_, column, row, decimal_separator_)));
  }
  selection_of_this_import_ = true;
  UpdateActions();
  if (capacity_dialog_ != nullptr && capacity_dialog_->isVisible()) {
    capacity_dialog_->ShowRecord(row, table_path_);
  }
  RedrawPreview();
}

void TForm1::RedrawPreview() {
  if (preview_.isNull()) preview_ = QImage(kPreviewSize, kPreviewSize, QImage::Format_RGB32);
  // Whatever was drawn before a fault is what the engineer sees.
  const auto show = qScopeGuard([this] { ui_->Image1->setPixmap(QPixmap::fromImage(preview_)); });
  const auto row = static_cast<std::size_t>(selected_row_);
  DrawSectionPreview(preview_, row < state_.records.size() ? state_.records[row] : TSECTION{});
}

}  // namespace brenmoor
