#include "ui/capacity_dialog.h"

#include <QBuffer>
#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageWriter>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QShortcut>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "capacity/analysis_laws.h"
#include "jobs/export_job.h"
#include "model/materials.h"
#include "platform/files.h"
#include "report/capacity_report.h"
#include "report/figures.h"
#include "ui/window_jobs.h"

namespace brenmoor {
namespace {

const QString kSteelKey = QStringLiteral("capacity/steel");
const QString kStrengthsKey = QStringLiteral("capacity/strengths");
const QString kAxialRatioKey = QStringLiteral("capacity/axialRatio");
const QString kHoopsKey = QStringLiteral("capacity/hoops");

constexpr SteelGrade kGrades[] = {SteelGrade::kHRB335, SteelGrade::kHRB400, SteelGrade::kHRB500};
constexpr RebarGrade kHoopGrades[] = {RebarGrade::kHPB300, RebarGrade::kHRB335, RebarGrade::kHRB400,
                                      RebarGrade::kHRB500};
// The analysis figures' columns and rows: exact, fiber, confined, the
// fiber's error.
constexpr int kAnalysisColumns = 11, kAnalysisRows = 4;

// The charts in a grid of kChartColumns × kChartRows (the contour in the
// third column, over both rows, the analysis curves about x and y in the
// fourth), each no smaller than reads on screen; below that, the area around
// them scrolls. The third and fourth columns widen the grid's minimum, not
// the dialog's.
constexpr int kChartColumns = 4, kChartRows = 2;
constexpr QSize kChartMinimum(280, 210);
constexpr QSize kChartsAreaMinimum(320, 200);

// The five charts of the capacity in the left three quarters of area, the
// analysis moment–curvature about x over that about y in the right quarter.
void DrawDialogCharts(QPainter& painter, const QRectF& area, const CapacityCurves& curves,
                      const std::optional<AnalysisCurves>& analysis, double unit) {
  const CapacityChartTexts texts = WindowChartTexts();
  const double w = area.width() / 4, h = area.height() / 2;
  DrawCapacityChartsWide(painter, QRectF(area.left(), area.top(), 3 * w, area.height()), curves,
                         texts, unit);
  if (!analysis) return;
  DrawChart(painter, QRectF(area.left() + 3 * w, area.top(), w, h),
            AnalysisChart(*analysis, BendingAxis::kX, texts), unit);
  DrawChart(painter, QRectF(area.left() + 3 * w, area.top() + h, w, h),
            AnalysisChart(*analysis, BendingAxis::kY, texts), unit);
}

// The charts, drawn as the report draws them, at a size of text that reads
// on screen.
class ChartsView : public QWidget {
 public:
  ChartsView(const std::optional<CapacityCurves>& curves,
             const std::optional<AnalysisCurves>& analysis, QWidget* parent)
      : QWidget(parent), curves_(curves), analysis_(analysis) {
    setObjectName(QStringLiteral("CapacityCharts"));
    setMinimumSize(kChartColumns * kChartMinimum.width(), kChartRows * kChartMinimum.height());
  }
  void SetMessage(const QString& message) { message_ = message; }

  // Painter units (pixels) per millimetre of paper for a view of size: each
  // chart as if 95 × 85 mm.
  static double Unit(QSizeF size) {
    return std::clamp(std::min(size.width() / (95 * kChartColumns), size.height() / 170), 3.4, 7.0);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!curves_) {
      painter.setPen(Qt::darkGray);
      painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, message_);
      return;
    }
    DrawDialogCharts(painter, QRectF(rect()).adjusted(4, 4, -4, -4), *curves_, analysis_,
                     Unit(size()));
  }

 private:
  const std::optional<CapacityCurves>& curves_;
  const std::optional<AnalysisCurves>& analysis_;
  QString message_;
};

}  // namespace

CapacityOptions LoadCapacityOptions(QSettings& settings) {
  CapacityOptions options;
  if (auto steel = SteelGradeFromName(settings.value(kSteelKey).toString().toStdString()))
    options.steel = *steel;
  if (auto strengths = StrengthsFromName(settings.value(kStrengthsKey).toString().toStdString()))
    options.strengths = *strengths;
  if (auto hoops = RebarGradeFromName(settings.value(kHoopsKey).toString().toStdString()))
    options.hoops = *hoops;
  bool ok = false;
  const double ratio = settings.value(kAxialRatioKey).toDouble(&ok);
  if (ok && ratio >= kMinAxialRatio && ratio <= kMaxAxialRatio) options.axial_ratio = ratio;
  return options;
}

void SaveCapacityOptions(QSettings& settings, const CapacityOptions& options) {
  settings.setValue(kSteelKey, QString::fromLatin1(SteelGradeName(options.steel)));
  settings.setValue(kStrengthsKey, QString::fromLatin1(StrengthsName(options.strengths)));
  settings.setValue(kAxialRatioKey, options.axial_ratio);
  settings.setValue(kHoopsKey, QString::fromLatin1(RebarGradeName(options.hoops)));
}

CapacityChartTexts WindowChartTexts() {
  CapacityChartTexts t;
  t.interaction_title[0] = CapacityDialog::tr("N–M 曲线，绕 x 轴");
  t.interaction_title[1] = CapacityDialog::tr("N–M 曲线，绕 y 轴");
  t.curvature_title[0] = CapacityDialog::tr("弯矩–曲率（设计本构），绕 x 轴，N = %1 kN");
  t.curvature_title[1] = CapacityDialog::tr("弯矩–曲率（设计本构），绕 y 轴，N = %1 kN");
  t.biaxial_title = CapacityDialog::tr("Mx–My 曲线，N = %1 kN");
  t.moment_axis[0] = CapacityDialog::tr("Mx (kN·m)");
  t.moment_axis[1] = CapacityDialog::tr("My (kN·m)");
  t.axial_axis = CapacityDialog::tr("N (kN)");
  t.curvature_axis = CapacityDialog::tr("φ (1/m)");
  t.moment_axis_plain = CapacityDialog::tr("M (kN·m)");
  t.exact = CapacityDialog::tr("精确");
  t.fiber = CapacityDialog::tr("纤维");
  t.first_yield = CapacityDialog::tr("屈服");
  t.end = CapacityDialog::tr("极限");
  t.cannot_hold = CapacityDialog::tr("截面承受不了 N = %1 kN");
  t.analysis_title[0] = CapacityDialog::tr("弯矩–曲率（分析本构），绕 x 轴，N = %1 kN");
  t.analysis_title[1] = CapacityDialog::tr("弯矩–曲率（分析本构），绕 y 轴，N = %1 kN");
  t.confined = CapacityDialog::tr("约束");
  t.bilinear = CapacityDialog::tr("双线性");
  t.nominal = QStringLiteral("Mn");
  return t;
}

CapacityDialog::CapacityDialog(const BrenmoorState& state, SaveDialog& save_dialog,
                               ErrorReport& errors, const CapacityOptions& options, QWidget* parent)
    : QDialog(parent), state_(state), save_dialog_(save_dialog), errors_(errors) {
  setObjectName(QStringLiteral("CapacityDialog"));
  setModal(false);
  QLayout* options_row = MakeOptions(options);

  title_ = new QLabel(this);
  title_->setObjectName(QStringLiteral("CapacityTitle"));
  QFont title_font = title_->font();
  title_font.setBold(true);
  title_font.setPixelSize(14);
  title_->setFont(title_font);
  advice_ = new QLabel(this);
  advice_->setObjectName(QStringLiteral("CapacityAdvice"));
  advice_->setStyleSheet(QStringLiteral("color: #be0000; font-weight: bold"));
  materials_ = new QLabel(this);
  materials_->setObjectName(QStringLiteral("CapacityMaterials"));
  grid_label_ = new QLabel(this);
  grid_label_->setObjectName(QStringLiteral("CapacityGrid"));
  scope_ = new QLabel(this);
  scope_->setObjectName(QStringLiteral("CapacityScope"));
  // Always in the layout, so that the charts keep their size from row to row;
  // a long name, list or advice is cut at the dialog's edge instead of
  // widening it (the tooltip has it whole).
  for (QLabel* label : {title_, advice_, materials_, grid_label_, scope_}) {
    label->setMinimumHeight(label->fontMetrics().height());
    label->setSizePolicy(QSizePolicy::Ignored, label->sizePolicy().verticalPolicy());
  }

  charts_ = new ChartsView(curves_, analysis_, this);
  charts_area_ = new QScrollArea(this);
  charts_area_->setObjectName(QStringLiteral("CapacityChartsArea"));
  charts_area_->setFrameShape(QFrame::NoFrame);
  charts_area_->setWidgetResizable(true);
  charts_area_->setWidget(charts_);
  charts_area_->setMinimumSize(kChartsAreaMinimum);
  MakeFigures();
  QDialogButtonBox* buttons = MakeButtons();

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title_);
  layout->addLayout(options_row);
  layout->addWidget(charts_area_, 1);
  layout->addWidget(figure_tabs_);
  layout->addWidget(materials_);
  layout->addWidget(grid_label_);
  layout->addWidget(advice_);
  layout->addWidget(scope_);
  layout->addWidget(buttons);

  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  connect(picture_button_, &QPushButton::clicked, this, &CapacityDialog::ExportPicture);
  connect(pdf_button_, &QPushButton::clicked, this, &CapacityDialog::ExportPdf);
  RetranslateTexts();
  ShowRecord(0, QString());
}

// The steel grade, strengths and axial load ratio, each beside its label,
// in one row; a change computes the section again and is remembered.
QLayout* CapacityDialog::MakeOptions(const CapacityOptions& options) {
  steel_box_ = new QComboBox(this);
  steel_box_->setObjectName(QStringLiteral("SteelGradeBox"));
  for (SteelGrade grade : kGrades) {
    steel_box_->addItem(QString::fromLatin1(SteelGradeName(grade)), static_cast<int>(grade));
  }
  steel_box_->setCurrentIndex(steel_box_->findData(static_cast<int>(options.steel)));
  strengths_box_ = new QComboBox(this);
  strengths_box_->setObjectName(QStringLiteral("StrengthsBox"));
  strengths_box_->addItem(QString(), static_cast<int>(Strengths::kDesign));
  strengths_box_->addItem(QString(), static_cast<int>(Strengths::kCharacteristic));
  strengths_box_->setCurrentIndex(strengths_box_->findData(static_cast<int>(options.strengths)));
  ratio_box_ = new QDoubleSpinBox(this);
  ratio_box_->setObjectName(QStringLiteral("AxialRatioBox"));
  ratio_box_->setRange(kMinAxialRatio, kMaxAxialRatio);
  ratio_box_->setDecimals(2);
  ratio_box_->setSingleStep(0.05);
  ratio_box_->setValue(options.axial_ratio);

  // Shown only for a table with stirrup columns, where it confines a core.
  hoops_box_ = new QComboBox(this);
  hoops_box_->setObjectName(QStringLiteral("HoopsGradeBox"));
  for (RebarGrade grade : kHoopGrades) {
    hoops_box_->addItem(QString::fromLatin1(RebarGradeName(grade)), static_cast<int>(grade));
  }
  hoops_box_->setCurrentIndex(hoops_box_->findData(static_cast<int>(options.hoops)));

  auto* row = new QHBoxLayout;
  steel_label_ = new QLabel(this);
  strengths_label_ = new QLabel(this);
  ratio_label_ = new QLabel(this);
  hoops_label_ = new QLabel(this);
  const std::pair<QLabel*, QWidget*> fields[] = {{steel_label_, steel_box_},
                                                 {strengths_label_, strengths_box_},
                                                 {ratio_label_, ratio_box_},
                                                 {hoops_label_, hoops_box_}};
  for (const auto& [label, field] : fields) {
    auto* form = new QFormLayout;
    form->addRow(label, field);
    row->addLayout(form);
  }
  row->addStretch(1);

  const auto changed = [this] {
    Recompute();
    emit OptionsChanged(Options());
  };
  connect(steel_box_, &QComboBox::currentIndexChanged, this, changed);
  connect(strengths_box_, &QComboBox::currentIndexChanged, this, changed);
  connect(ratio_box_, &QDoubleSpinBox::valueChanged, this, changed);
  connect(hoops_box_, &QComboBox::currentIndexChanged, this, changed);
  return row;
}

// The figures about x and about y, and below them those of biaxial bending
// (a text over the first six columns, the fiber error under the others'):
// three rows shown whole.
void CapacityDialog::MakeFigures() {
  constexpr int kRows = 3;
  figures_ = new QTableWidget(kRows, 7, this);
  figures_->setObjectName(QStringLiteral("CapacityFigures"));
  figures_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  figures_->setSelectionMode(QAbstractItemView::NoSelection);
  figures_->setFocusPolicy(Qt::NoFocus);
  figures_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  figures_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  figures_->verticalHeader()->setDefaultSectionSize(24);
  figures_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  figures_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Every row whole, with no room below them.
  figures_->setFixedHeight(figures_->horizontalHeader()->sizeHint().height() + kRows * 24 +
                           2 * figures_->frameWidth());
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < 7; ++c) {
      auto* item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      figures_->setItem(r, c, item);
    }
  }
  figures_->setSpan(2, 0, 1, 6);
  figures_->item(2, 0)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  figure_tabs_ = new QTabWidget(this);
  figure_tabs_->setObjectName(QStringLiteral("CapacityFigureTabs"));
  figure_tabs_->setDocumentMode(true);
  figure_tabs_->addTab(figures_, QString());
  for (int a = 0; a < 2; ++a) {
    analysis_figures_[a] = MakeAnalysisTable();
    analysis_figures_[a]->setObjectName(a == 0 ? QStringLiteral("AnalysisFiguresX")
                                               : QStringLiteral("AnalysisFiguresY"));
    figure_tabs_->addTab(analysis_figures_[a], QString());
  }
  figure_tabs_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

// The analysis figures about one axis: a row per model and the fiber's error
// below, shown whole.
QTableWidget* CapacityDialog::MakeAnalysisTable() {
  auto* table = new QTableWidget(kAnalysisRows, kAnalysisColumns, this);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionMode(QAbstractItemView::NoSelection);
  table->setFocusPolicy(Qt::NoFocus);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table->verticalHeader()->setDefaultSectionSize(24);
  table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  table->setFixedHeight(table->horizontalHeader()->sizeHint().height() + kAnalysisRows * 24 +
                        2 * table->frameWidth());
  for (int r = 0; r < kAnalysisRows; ++r) {
    for (int c = 0; c < kAnalysisColumns; ++c) {
      auto* item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table->setItem(r, c, item);
    }
  }
  return table;
}

QDialogButtonBox* CapacityDialog::MakeButtons() {
  picture_button_ = new QPushButton(this);
  picture_button_->setObjectName(QStringLiteral("ExportPictureButton"));
  pdf_button_ = new QPushButton(this);
  pdf_button_->setObjectName(QStringLiteral("ExportPdfButton"));
  // The sections one after another, without going back to the grid.
  previous_button_ = new QPushButton(this);
  previous_button_->setObjectName(QStringLiteral("PreviousSectionButton"));
  next_button_ = new QPushButton(this);
  next_button_->setObjectName(QStringLiteral("NextSectionButton"));
  for (QPushButton* button : {previous_button_, next_button_}) button->setAutoDefault(false);
  // Page Up and Page Down belong to these buttons even where the focus is in
  // a list or a number, which would otherwise take them for their own.
  for (QWidget* child : findChildren<QWidget*>()) {
    if (child->focusPolicy() != Qt::NoFocus) child->installEventFilter(this);
  }
  connect(previous_button_, &QPushButton::clicked, this, [this] { emit StepRequested(-1); });
  connect(next_button_, &QPushButton::clicked, this, [this] { emit StepRequested(1); });
  // Keys of their own rather than the buttons' shortcuts, which would press
  // them only after the button has been shown down for a moment.
  const auto step_key = [this](Qt::Key key, QPushButton* button) {
    auto* shortcut = new QShortcut(QKeySequence(key), this);
    connect(shortcut, &QShortcut::activated, button, [button] {
      if (button->isEnabled()) button->click();
    });
  };
  step_key(Qt::Key_PageUp, previous_button_);
  step_key(Qt::Key_PageDown, next_button_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->addButton(previous_button_, QDialogButtonBox::ResetRole);
  buttons->addButton(next_button_, QDialogButtonBox::ResetRole);
  close_button_ = buttons->button(QDialogButtonBox::Close);
  buttons->addButton(picture_button_, QDialogButtonBox::ActionRole);
  buttons->addButton(pdf_button_, QDialogButtonBox::ActionRole);
  return buttons;
}

void CapacityDialog::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    const QWidget* over = parentWidget() != nullptr ? parentWidget()->window() : this;
    FitToScreen(over->screen()->availableGeometry());
  }
  QDialog::showEvent(event);
}

// At kOpeningSize when first shown, then at the size the engineer gave it,
// in either case no larger than the screen's room for it, and moved into
// that room: first beside the window where the room there takes it (right,
// else left; narrower than kOpeningSize if need be), else centred over it,
// then only as far as needed.
void CapacityDialog::FitToScreen(const QRect& available) {
  // The frame the window system says it draws, but no thinner than the
  // usual desktops draw one (title bars up to 32 pixels high): until the
  // dialog is first shown, X11 knows nothing of its frame.
  QMargins frame(8, 32, 8, 8);
  if (const QWindow* window = windowHandle()) {
    const QMargins drawn = window->frameMargins();
    frame =
        QMargins(std::max(frame.left(), drawn.left()), std::max(frame.top(), drawn.top()),
                 std::max(frame.right(), drawn.right()), std::max(frame.bottom(), drawn.bottom()));
  }
  const QRect room = available.marginsRemoved(frame);
  const QSize size =
      (fitted_ ? this->size() : kOpeningSize).boundedTo(room.size()).expandedTo(minimumSizeHint());
  QRect placed(fitted_ ? geometry().topLeft() : QPoint(), size);
  if (!fitted_) {
    placed.moveCenter(parentWidget() != nullptr ? parentWidget()->window()->geometry().center()
                                                : room.center());
    if (const std::optional<QRect> beside = BesideWindow(room, frame, size)) placed = *beside;
  }
  placed.moveLeft(std::clamp(placed.left(), room.left(),
                             std::max(room.left(), room.right() - placed.width() + 1)));
  placed.moveTop(std::clamp(placed.top(), room.top(),
                            std::max(room.top(), room.bottom() - placed.height() + 1)));
  // The window system frames the dialog around this, inside the screen.
  setGeometry(placed);
  fitted_ = true;
}

std::optional<QRect> CapacityDialog::BesideWindow(const QRect& room, const QMargins& frame,
                                                  const QSize& size) const {
  if (parentWidget() == nullptr) return std::nullopt;
  const QRect window = parentWidget()->window()->frameGeometry();
  // Narrower than the charts' least width it would only scroll them: then
  // rather over the window, whole.
  const QMargins margins = layout()->contentsMargins();
  const int least = std::max(minimumSizeHint().width(),
                             charts_->minimumWidth() + margins.left() + margins.right());
  const int right_left = window.right() + 1 + frame.left();
  const int right_room = room.right() + 1 - right_left;
  const int left_room = window.left() - frame.right() - room.left();
  const int top = std::clamp(window.top() + frame.top(), room.top(),
                             std::max(room.top(), room.bottom() + 1 - size.height()));
  if (right_room >= least) {
    return QRect(right_left, top, std::min(size.width(), right_room), size.height());
  }
  if (left_room >= least) {
    const int width = std::min(size.width(), left_room);
    return QRect(window.left() - frame.right() - width, top, width, size.height());
  }
  return std::nullopt;
}

bool CapacityDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() == Qt::NoModifier &&
        (key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown)) {
      return true;  // not taken here, so the buttons' keys act
    }
  }
  return QDialog::eventFilter(watched, event);
}

CapacityDialog::~CapacityDialog() = default;

void CapacityDialog::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) {
    RetranslateTexts();
    Recompute();
  }
  QDialog::changeEvent(event);
}

void CapacityDialog::SetLanguage(Language language) {
  if (language == report_language_) return;
  report_language_ = language;
  RetranslateTexts();
  Recompute();
}

void CapacityDialog::RetranslateTexts() {
  strengths_box_->setItemText(0, tr("设计值 (fc, fy)"));
  strengths_box_->setItemText(1, tr("标准值 (fck, fyk)"));
  ratio_box_->setToolTip(tr("弯矩–曲率曲线和双向弯曲的轴压比 N / (fc·B·H)，fc 取设计值"));
  figures_->setHorizontalHeaderLabels({QStringLiteral("N0 (kN)"), QStringLiteral("Nt (kN)"),
                                       QStringLiteral("Nb (kN)"), QStringLiteral("Mb (kN·m)"),
                                       QStringLiteral("M0 (kN·m)"), tr("纤维 M0 (kN·m)"),
                                       tr("纤维误差 (%)")});
  figures_->setVerticalHeaderLabels({tr("绕 x 轴"), tr("绕 y 轴"), tr("双向")});
  picture_button_->setText(tr("导出图片…"));
  previous_button_->setText(tr("上一个截面"));
  previous_button_->setToolTip(tr("上一个截面 (PgUp)"));
  next_button_->setText(tr("下一个截面"));
  next_button_->setToolTip(tr("下一个截面 (PgDn)"));
  picture_button_->setToolTip(tr("将曲线保存为 PNG 图片"));
  pdf_button_->setText(tr("导出 PDF…"));
  pdf_button_->setToolTip(tr("将本截面的承载力页和分析弯矩–曲率页保存为 PDF"));
  close_button_->setText(tr("关闭"));
  steel_label_->setText(tr("钢筋"));
  hoops_label_->setText(tr("箍筋"));
  hoops_box_->setToolTip(tr("箍筋的钢筋牌号：只影响有箍筋截面的约束核心"));
  figure_tabs_->setTabText(0, tr("承载力"));
  figure_tabs_->setTabText(1, tr("分析 M–φ，绕 x 轴"));
  figure_tabs_->setTabText(2, tr("分析 M–φ，绕 y 轴"));
  for (QTableWidget* table : analysis_figures_) {
    // Symbol over unit: eleven columns still read whole on a 1024 screen.
    table->setHorizontalHeaderLabels(
        {QStringLiteral("EI0\nkN·m²"), QStringLiteral("φy′\n1/m"), QStringLiteral("My′\nkN·m"),
         QStringLiteral("Mn\nkN·m"), QStringLiteral("φy\n1/m"), QStringLiteral("EIeff\nkN·m²"),
         QStringLiteral("φu\n1/m"), QStringLiteral("Mu\nkN·m"), QStringLiteral("M_peak\nkN·m"),
         QStringLiteral("μφ\n"), tr("终止于") + u'\n'});
    table->setVerticalHeaderLabels({tr("精确"), tr("纤维"), tr("约束"), tr("纤维误差 (%)")});
    table->setFixedHeight(table->horizontalHeader()->sizeHint().height() + kAnalysisRows * 24 +
                          2 * table->frameWidth());
  }
  // As high as its tallest page and no higher: the charts keep the rest.
  figure_tabs_->setFixedHeight(figure_tabs_->tabBar()->sizeHint().height() +
                               std::max(figures_->height(), analysis_figures_[0]->height()) + 2);
  strengths_label_->setText(tr("强度"));
  ratio_label_->setText(tr("轴压比"));
  scope_->setText(
      tr("截面承载力按 GB 50010 第 6.2.1 条的设计本构计算，未计稳定系数 "
         "0.9φ、附加偏心距、二阶效应和 γRE；N0 按毛截面 B × H 计"));
  scope_->setToolTip(scope_->text());
}

CapacityOptions CapacityDialog::Options() const {
  CapacityOptions options;
  options.steel = static_cast<SteelGrade>(steel_box_->currentData().toInt());
  options.strengths = static_cast<Strengths>(strengths_box_->currentData().toInt());
  options.axial_ratio = ratio_box_->value();
  options.hoops = static_cast<RebarGrade>(hoops_box_->currentData().toInt());
  return options;
}

void CapacityDialog::ShowRecord(int record, const QString& table_path) {
  record_ = record >= 1 && record <= state_.imported_count ? record : 0;
  table_path_ = table_path;
  section_name_ =
      record_ > 0 ? Shown(state_.records[static_cast<std::size_t>(record_)].NAME) : QString();
  previous_button_->setEnabled(record_ > 1);
  next_button_->setEnabled(record_ > 0 && record_ < state_.imported_count);
  Recompute();
}

void CapacityDialog::Recompute() {
  curves_.reset();
  analysis_.reset();
  grid_.reset();
  hoops_label_->setVisible(state_.stirrup_columns);
  hoops_box_->setVisible(state_.stirrup_columns);
  auto* view = static_cast<ChartsView*>(charts_);
  if (record_ == 0) {
    title_->setText(tr("未选择截面"));
    view->SetMessage(tr("在表格中选择一个截面"));
  } else {
    const TSECTION& s = state_.records[static_cast<std::size_t>(record_)];
    const QString heading =
        QStringLiteral("%1  %2 — %3 × %4 mm, %5")
            .arg(record_)
            .arg(section_name_, Figure(s.B), Figure(s.H),
                 QString::fromStdString(MaterialName(state_, s.concrete_material)));
    title_->setText(heading);
    try {
      const CapacityOptions options = Options();
      curves_ = ComputeCapacityCurves(MakeCapacitySection(state_, record_, options), options);
      analysis_ = ComputeAnalysisCurves(state_, record_, options);
      grid_ = ChooseBestGrid(state_, record_, options);
    } catch (const CapacityRefusal& refusal) {
      curves_.reset();
      analysis_.reset();
      view->SetMessage(tr("本截面无法计算承载力：%1").arg(QString::fromUtf8(refusal.what())));
    }
  }
  setWindowTitle(section_name_.isEmpty() ? tr("截面承载力")
                                         : tr("截面承载力 — %1").arg(section_name_));
  picture_button_->setEnabled(curves_.has_value());
  pdf_button_->setEnabled(curves_.has_value());
  ShowFigures();
  ShowAnalysisFigures();
  ShowGridAndMaterials();
  charts_->update();
}

void CapacityDialog::ShowFigures() {
  const QColor warning_text(190, 0, 0), warning_ground(255, 226, 226);
  const auto show_error = [&](QTableWidgetItem* item, std::optional<double> error) {
    item->setText(error ? CapacityFigure(*error, 2) : QString());
    const bool high = error && *error > kFiberErrorLimitPct;
    item->setForeground(high ? warning_text : palette().color(QPalette::Text));
    item->setBackground(high ? warning_ground : QColor(Qt::transparent));
  };
  for (int r = 0; r < 2; ++r) {
    const BendingAxis axis = r == 0 ? BendingAxis::kX : BendingAxis::kY;
    std::optional<AxisCapacity> f;
    if (curves_) f = curves_->figures.about(axis);
    const double values[] = {f ? f->N0 : 0, f ? f->Nt : 0, f ? f->Nb : 0,
                             f ? f->Mb : 0, f ? f->M0 : 0, f ? f->fiber_M0 : 0};
    // N0, Nt, Nb in the one format of an axial force, the moments to 0.1 kN·m.
    for (int c = 0; c < 6; ++c) {
      figures_->item(r, c)->setText(
          !f ? QString() : (c < 3 ? AxialForceFigure(values[c]) : CapacityFigure(values[c], 1)));
    }
    show_error(figures_->item(r, 6), f ? std::optional(f->fiber_error_pct) : std::nullopt);
  }
  // Biaxial bending at the axial load: the range of the exact contour and
  // the fiber error, or why there is none.
  QString biaxial_text;
  std::optional<double> biaxial_error;
  if (curves_) {
    const BiaxialFigures& b = curves_->biaxial.figures;
    if (b.holds) {
      biaxial_text =
          tr("N = %1 kN：精确 |M| = %2 至 %3 kN·m")
              .arg(AxialForceFigure(b.N), CapacityFigure(b.M_min, 1), CapacityFigure(b.M_max, 1));
      biaxial_error = b.fiber_error_pct;
    } else {
      biaxial_text = tr("截面承受不了 N = %1 kN").arg(AxialForceFigure(b.N));
    }
  }
  figures_->item(2, 0)->setText(biaxial_text);
  show_error(figures_->item(2, 6), biaxial_error);

  // What to act on: the grid where the fibers stand poorly (the diagonal,
  // which depends on both, where it alone is poor), and ρ outside its
  // limits.
  QStringList advice;
  if (curves_) {
    const SectionCapacity& f = curves_->figures;
    bool x = f.x.fiber_error_pct > kFiberErrorLimitPct,
         y = f.y.fiber_error_pct > kFiberErrorLimitPct;
    if (!x && !y && biaxial_error && *biaxial_error > kFiberErrorLimitPct) {
      advice << tr("双向弯曲请增大 FX 和 FY");
    } else {
      if (x) advice << tr("绕 x 轴请增大 FY");
      if (y) advice << tr("绕 y 轴请增大 FX");
    }
  }
  QString text =
      advice.isEmpty()
          ? QString()
          : tr("纤维误差超过 %1 %：%2。").arg(kFiberErrorLimitPct).arg(advice.join(tr("，")));
  if (record_ > 0 && curves_) {
    const CapacitySection section = MakeCapacitySection(state_, record_, curves_->options);
    const double rho = ReinforcementRatio(section);
    const SteelGrade steel = curves_->options.steel;
    if (ReinforcementOutsideLimits(rho, steel, section.concrete.fcuk)) {
      text += (text.isEmpty() ? QString() : QStringLiteral(" ")) +
              tr("ρ = %1 % 超出 %2 %–5 %。")
                  .arg(Percent(100 * rho),
                       Percent(100 * MinReinforcementRatio(steel, section.concrete.fcuk)));
    }
  }
  advice_->setText(text);
  advice_->setToolTip(text);
}

// Each model's figures about x and about y, as the report prints them, the
// fiber's error below; a model that cannot carry N says so across its row,
// and empty yield figures say why in their tooltip.
void CapacityDialog::ShowAnalysisFigures() {
  const QColor warning_text(190, 0, 0), warning_ground(255, 226, 226);
  const auto fields = [](const AnalysisFigures& f) {
    return std::array<std::optional<double>, 10>{f.EI0,    f.phi_y1, f.M_y1, f.M_n,    f.phi_y,
                                                 f.EI_eff, f.phi_u,  f.M_u,  f.M_peak, f.mu_phi};
  };
  const auto shown = [](int k, double v) {
    if (k == 2 || k == 3 || k == 7 || k == 8) return CapacityFigure(v, 1);
    return k == 9 ? CapacityFigure(v, 2) : Figure(v);
  };
  const auto ends = [](CurveEnd end) {
    switch (end) {
      case CurveEnd::kConcrete:
        return tr("混凝土");
      case CurveEnd::kBar:
        return tr("钢筋", "what ended the curve");
      case CurveEnd::kDrop:
        return tr("下降");
      case CurveEnd::kAxial:
        break;
    }
    return tr("轴力");
  };
  for (int a = 0; a < 2; ++a) {
    QTableWidget* table = analysis_figures_[a];
    table->clearSpans();
    table->setRowHidden(2, analysis_ && !analysis_->confined());
    for (int r = 0; r < kAnalysisRows; ++r) {
      for (int c = 0; c < kAnalysisColumns; ++c) {
        QTableWidgetItem* item = table->item(r, c);
        item->setText(QString());
        item->setToolTip(QString());
        item->setForeground(palette().color(QPalette::Text));
        item->setBackground(QColor(Qt::transparent));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      }
    }
    if (!analysis_) continue;
    const int models = analysis_->confined() ? 3 : 2;
    for (int m = 0; m < models; ++m) {
      const AnalysisFigures& f = analysis_->curve[a][m].figures;
      if (!f.holds) {
        table->setSpan(m, 0, 1, kAnalysisColumns);
        table->item(m, 0)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        table->item(m, 0)->setForeground(warning_text);
        table->item(m, 0)->setText(tr("该模型承受不了 N = %1 kN").arg(AxialForceFigure(f.N)));
        continue;
      }
      const auto values = fields(f);
      const QString why =
          f.phi_y1 ? QString()
          : f.N >= 0 ? tr("无屈服数值：仅轴力 N 已使边缘超过 εc,r，或曲线在初始屈服前终止")
                     : tr("无屈服数值：仅轴力 N 已使钢筋超过 fy,r/Es，或曲线在初始屈服前终止");
      for (int k = 0; k < 10; ++k) {
        if (values[static_cast<std::size_t>(k)]) {
          table->item(m, k)->setText(shown(k, *values[static_cast<std::size_t>(k)]));
        } else {
          table->item(m, k)->setToolTip(why);
        }
      }
      table->item(m, 10)->setText(ends(f.ends_by));
    }
    const AnalysisFigures &exact = analysis_->curve[a][0].figures,
                          &fiber = analysis_->curve[a][1].figures;
    if (!exact.holds || !fiber.holds) continue;
    const auto e = fields(exact), g = fields(fiber);
    for (std::size_t k = 0; k < e.size(); ++k) {
      if (!e[k] || !g[k] || *e[k] == 0) continue;
      const double error = std::abs(*g[k] - *e[k]) / std::abs(*e[k]) * 100;
      QTableWidgetItem* item = table->item(3, static_cast<int>(k));
      item->setText(CapacityFigure(error, 2));
      const bool high = error > kFiberErrorLimitPct;
      item->setForeground(high ? warning_text : palette().color(QPalette::Text));
      item->setBackground(high ? warning_ground : QColor(Qt::transparent));
    }
  }
}

// The material values and ρ on one line, the section's grid beside the best
// one on the next.
void CapacityDialog::ShowGridAndMaterials() {
  QString materials;
  if (curves_) {
    const CapacitySection section = MakeCapacitySection(state_, record_, curves_->options);
    const auto listed = [](const std::vector<MaterialValue>& values) {
      QStringList items;
      for (const MaterialValue& v : values) items << v.symbol + QStringLiteral(" = ") + v.value;
      return items.join(QStringLiteral(", "));
    };
    materials =
        tr("C%1：%2；%3：%4；ρ = %5 %")
            .arg(section.concrete.fcuk)
            .arg(listed(ConcreteValues(section.concrete)),
                 QString::fromLatin1(SteelGradeName(curves_->options.steel)),
                 listed(SteelValues(section.steel)), Percent(100 * ReinforcementRatio(section)));
  }
  materials_->setText(materials);
  materials_->setToolTip(materials);

  QString grid;
  QFont font = grid_label_->font();
  font.setBold(grid_ && grid_->Improves());
  grid_label_->setFont(font);
  if (grid_) {
    const GridChoice& g = *grid_;
    const QString current = QStringLiteral("%1 × %2").arg(g.FX).arg(g.FY);
    switch (g.verdict) {
      case GridVerdict::kNoRoom:
        grid = tr("网格 FX × FY = %1：钢筋已占满 60 根纤维，没有混凝土单元的余地").arg(current);
        break;
      case GridVerdict::kSearched:
        grid = g.Improves() ? tr("网格 FX × FY = %1，误差 %2 %；建议 %3 × %4，误差 %5 %"
                                 "（右键菜单“按建议网格另存表格…”）")
                                  .arg(current, CapacityFigure(g.error_pct, 2))
                                  .arg(g.best_FX)
                                  .arg(g.best_FY)
                                  .arg(CapacityFigure(g.best_error_pct, 2))
                            : tr("网格 FX × FY = %1，误差 %2 %：60 根纤维之内已是最佳")
                                  .arg(current, CapacityFigure(g.error_pct, 2));
        break;
      // No biaxial error without the load, but the grid is still compared
      // in bending about x and y.
      case GridVerdict::kCannotCarry:
        grid = g.Improves() ? tr("网格 FX × FY = %1，误差 %2 %；建议 %3 × %4，误差 %5 %"
                                 "（截面承受不了该轴力：只计绕 x、y 轴的误差）")
                                  .arg(current, CapacityFigure(g.error_pct, 2))
                                  .arg(g.best_FX)
                                  .arg(g.best_FY)
                                  .arg(CapacityFigure(g.best_error_pct, 2))
                            : tr("网格 FX × FY = %1，误差 %2 %：60 根纤维之内已是最佳"
                                 "（截面承受不了该轴力：只计绕 x、y 轴的误差）")
                                  .arg(current, CapacityFigure(g.error_pct, 2));
        break;
    }
  }
  grid_label_->setText(grid);
  QString tip;
  if (!grid.isEmpty()) {
    tip = grid_ && !grid_->biaxial ? tr("截面承受不了该轴力，没有双向弯曲误差：网格的误差取绕 x "
                                        "轴和绕 y 轴纤维误差中的较大者")
                                   : tr("网格的误差取绕 x 轴、绕 y 轴和双向弯曲纤维误差中的最大者");
  }
  grid_label_->setToolTip(tip);
}

QImage CapacityDialog::Picture() const {
  QImage image(kPictureSize, QImage::Format_RGB32);
  image.fill(Qt::white);
  if (!curves_) return image;
  QPainter painter(&image);
  constexpr double kUnit = 8.0;  // pixels per mm: a 400 × 170 mm figure
  QFont font(QStringLiteral("Arial"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(static_cast<int>(4 * kUnit));
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(QPointF(3 * kUnit, 6 * kUnit), title_->text());
  // The picture goes into other documents alone: it says what it leaves out.
  constexpr double kScopeRoom = 5 * kUnit;
  DrawDialogCharts(painter,
                   QRectF(0, 9 * kUnit, image.width(), image.height() - 10 * kUnit - kScopeRoom),
                   *curves_, analysis_, kUnit);
  font.setBold(false);
  font.setPixelSize(static_cast<int>(3 * kUnit));
  painter.setFont(font);
  painter.drawText(QPointF(3 * kUnit, image.height() - 2 * kUnit), scope_->text());
  return image;
}

template <typename Action>
void CapacityDialog::ReportErrors(Action&& action) {
  try {
    action();
  } catch (const std::exception& e) {
    errors_.Show(this, e);
  }
}

QString CapacityDialog::SuggestedPath(const QString& extension) const {
  QString file_name = section_name_;
  for (QChar& c : file_name) {
    if (QStringLiteral("/\\:*?\"<>|").contains(c)) c = u'_';
  }
  return QFileInfo(table_path_).absolutePath() + u'/' + file_name + QStringLiteral(".capacity.") +
         extension;
}

void CapacityDialog::ExportPicture() {
  if (!curves_) return;
  ReportErrors([this] {
    const std::optional<QString> path = save_dialog_.GetSaveFileName(
        this, tr("导出承载力图片"), SuggestedPath(QStringLiteral("png")),
        QStringLiteral("PNG (*.png)"));
    if (!path) return;
    ExportJob({table_path_.toStdString(), path->toStdString()},
              [&](ByteSink& sink) { WritePng(sink, Picture(), *path); });
  });
}

void CapacityDialog::ExportPdf() {
  if (!curves_) return;
  ReportErrors([this] {
    const std::optional<QString> path = save_dialog_.GetSaveFileName(
        this, tr("导出承载力 PDF"), SuggestedPath(QStringLiteral("pdf")),
        QStringLiteral("PDF (*.pdf)"));
    if (!path) return;
    CapacityReportInfo info;
    info.table_name = QFileInfo(table_path_).fileName();
    info.date = QDate::currentDate();
    info.version = QStringLiteral(BRENMOOR_VERSION);
    info.options = curves_->options;
    info.language = report_language_;
    const QByteArray page =
        SectionCapacityDocument(state_, record_, *curves_, info, analysis_ ? &*analysis_ : nullptr);
    ExportJob({table_path_.toStdString(), path->toStdString()}, [&](ByteSink& sink) {
      sink.Write(page.constData(), static_cast<std::size_t>(page.size()));
    });
  });
}

}  // namespace brenmoor
