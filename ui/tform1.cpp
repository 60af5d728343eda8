#include "ui/tform1.h"

#include <QFile>
#include <QLabel>
#include <QScopeGuard>
#include <QStatusBar>

#include "import/section_import.h"
#include "output/generate.h"
#include "ui/jpeg_image.h"
#include "ui/section_grid.h"
#include "ui/section_preview.h"
#include "ui_tform1.h"

// Q_INIT_RESOURCE must be used outside any namespace; the logo lives in a
// static library and would otherwise be dropped by the linker.
static void InitUiResources() { Q_INIT_RESOURCE(ui); }

namespace brenmoor {
namespace {

const QColor kMemoYellow(255, 255, 0);

QLabel* StatusPanel(QStatusBar* bar, const QString& text, int width) {
  auto* panel = new QLabel(text, bar);
  panel->setFixedWidth(width);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  bar->addWidget(panel);
  return panel;
}

}  // namespace

TForm1::TForm1(BrenmoorState& state, char decimal_separator, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TForm1>()), state_(state), decimal_separator_(decimal_separator) {
  InitUiResources();
  ui_->setupUi(this);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(11);
  setFont(font);
  move(246, 158);

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

  ui_->StatusBar1->setFixedHeight(19);
  StatusPanel(ui_->StatusBar1, QStringLiteral("开发者"), 80)->setObjectName(QStringLiteral("StatusPanel1"));
  StatusPanel(ui_->StatusBar1, QStringLiteral("Brenmoor project"), 150)->setObjectName(QStringLiteral("StatusPanel2"));
  StatusPanel(ui_->StatusBar1, QStringLiteral(BRENMOOR_VERSION), 50)->setObjectName(QStringLiteral("StatusPanel3"));

  grid_model_ = new SectionGridModel(state_, decimal_separator_, this);
  ui_->StringGrid1->setModel(grid_model_);

  fields_by_column_ = {ui_->Edit13, ui_->Edit10, ui_->Edit11, ui_->Edit1, ui_->Edit2, ui_->Edit3, ui_->Edit4,
                       ui_->Edit5,  ui_->Edit6,  ui_->Edit7,  ui_->Edit8, ui_->Edit9, ui_->Edit12};

  connect(ui_->Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
  connect(ui_->Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
  connect(ui_->StringGrid1, &SectionGrid::MouseDown, this, &TForm1::StringGrid1MouseDown);
}

TForm1::~TForm1() = default;

// The one place where a failure of the core meets the engineer: it is shown,
// and the window goes on with whatever state the command left.
template <typename Action>
void TForm1::ReportErrors(Action&& action) {
  try {
    action();
  } catch (const Error& e) {
    error_report_.Show(this, e);
  } catch (const std::exception& e) {
    error_report_.Show(this, e);
  }
}

void TForm1::Button1Click() {
  ReportErrors([this] { GenerateComponentFile(state_, kComponentFileName); });
}

void TForm1::Button3Click() {
  ReportErrors([this] {
    const std::optional<QString> path = open_dialog_.GetOpenFileName(this);
    // A refused table leaves the state as a cancel does: the grid then shows
    // the titles alone, whichever way this ends.
    const auto show = qScopeGuard([this] { grid_model_->ShowImport(); });
    if (path) {
      ImportSectionFile(state_, path->toStdString(), decimal_separator_);
    } else {
      CancelImport(state_);
    }
  });
}

void TForm1::StringGrid1MouseDown(int row) {
  if (state_.imported_count == 0 || row < 0 || row > state_.imported_count) return;
  ReportErrors([this, row] {
    state_.selected_row = row;
    for (int column = 1; column < kGridColumns; ++column) {
      fields_by_column_[column - 1]->setText(
          QString::fromUtf8(GridCellText(state_, column, row, decimal_separator_)));
    }
    RedrawPreview();
  });
}

void TForm1::RedrawPreview() {
  if (preview_.isNull()) preview_ = QImage(kPreviewSize, kPreviewSize, QImage::Format_RGB32);
  // Whatever was drawn before a fault is what the engineer sees.
  const auto show = qScopeGuard([this] { ui_->Image1->setPixmap(QPixmap::fromImage(preview_)); });
  const auto row = static_cast<std::size_t>(state_.selected_row);
  DrawSectionPreview(preview_, row < state_.records.size() ? state_.records[row] : TSECTION{});
}

}  // namespace brenmoor
