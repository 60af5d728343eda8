#pragma once

#include <QDialog>
#include <QImage>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

#include "capacity/best_grid.h"
#include "capacity/capacity.h"
#include "model/language.h"
#include "model/state.h"
#include "report/capacity_drawing.h"
#include "ui/dialogs.h"

class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;
class QLayout;
class QPushButton;
class QScrollArea;
class QSettings;
class QTableWidget;
class QTabWidget;

namespace brenmoor {

// The capacity options the window remembers, from settings (the defaults
// where a value is missing or not one of the choices) and back.
CapacityOptions LoadCapacityOptions(QSettings& settings);
void SaveCapacityOptions(QSettings& settings, const CapacityOptions& options);

// The window's capacity of one section, not modal: both N–M charts, the
// moment–curvature curves and the Mx–My contour at the axial load, of the
// exact and the fiber model, and beside them the analysis moment–curvature
// about x and y of the exact, fiber and (with stirrups) confined models; the
// figures about x and y and of biaxial bending, and on their own pages the
// analysis figures about x and about y with the fiber's error; the material
// values and ρ, the section's grid beside the best one within its 60 fibers;
// and the steel grade, strengths, axial load ratio and, for a table with
// stirrup columns, the stirrups' grade to choose. The window tells it which section to show as the
// selected row changes, and a change of row or options computes all of it again (ChooseBestGrid
// included, about a millisecond). It exports what it shows as a PNG picture or a one-page PDF
// through the window's save dialog and error report.
//
// It fits the screen it opens on: at kOpeningSize, or smaller to stay inside
// the screen's available area with its frame and title bar, beside the
// window where the screen has room for its charts, else centred over the window; its
// minimum fits 1024 × 700, the charts shrinking and then their area
// ("CapacityChartsArea") scrolling before any control is cut off. Its
// previous and next buttons (Page Up, Page Down) ask the window to select the
// section before or after the one on show.
class CapacityDialog : public QDialog {
  Q_OBJECT

 public:
  CapacityDialog(const BrenmoorState& state, SaveDialog& save_dialog, ErrorReport& errors,
                 const CapacityOptions& options, QWidget* parent = nullptr);
  ~CapacityDialog() override;

  // Shows record `record` of the state (1 .. imported_count) of the table at
  // table_path, or no section for any other record. A section the capacity
  // has no law for is shown by its reason, without charts.
  void ShowRecord(int record, const QString& table_path);
  int Record() const { return record_; }
  CapacityOptions Options() const;
  // What is on show: nothing when no section is, or it was refused.
  const std::optional<CapacityCurves>& Curves() const { return curves_; }
  const std::optional<AnalysisCurves>& Analysis() const { return analysis_; }
  // The section's grid and the best one, for the options on show.
  const std::optional<GridChoice>& Grid() const { return grid_; }

  // Asks where to and saves the charts as a PNG picture of kPictureSize, or
  // the section's capacity page as a PDF.
  void ExportPicture();
  void ExportPdf();
  // The charts under a title and above the line of what they leave out, as
  // ExportPicture saves them.
  QImage Picture() const;
  static constexpr QSize kPictureSize{3200, 1350};
  static constexpr QSize kOpeningSize{1240, 860};

  // The window's language: the PDF the dialog exports speaks it, and the
  // dialog's own texts are shown again through the translators the window
  // installed for it (at once, before the application's own language change
  // arrives).
  void SetLanguage(Language language);

 signals:
  // The engineer chose other options; the window remembers them.
  void OptionsChanged(const brenmoor::CapacityOptions& options);
  // The engineer asked for the section `step` rows away (−1 or 1).
  void StepRequested(int step);

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLayout* MakeOptions(const CapacityOptions& options);
  void MakeFigures();
  QDialogButtonBox* MakeButtons();
  void FitToScreen(const QRect& available);
  // Where the dialog, framed by frame, goes beside the window inside room,
  // at size or narrower; nothing where neither side has room for its
  // minimum.
  std::optional<QRect> BesideWindow(const QRect& room, const QMargins& frame,
                                    const QSize& size) const;
  void RetranslateTexts();
  void Recompute();
  void ShowFigures();
  void ShowAnalysisFigures();
  QTableWidget* MakeAnalysisTable();
  void ShowGridAndMaterials();
  QString SuggestedPath(const QString& extension) const;
  template <typename Action>
  void ReportErrors(Action&& action);

  const BrenmoorState& state_;
  SaveDialog& save_dialog_;
  ErrorReport& errors_;
  int record_ = 0;
  QString table_path_;
  QString section_name_;
  std::optional<CapacityCurves> curves_;
  std::optional<AnalysisCurves> analysis_;
  std::optional<GridChoice> grid_;
  QComboBox* steel_box_ = nullptr;
  QComboBox* strengths_box_ = nullptr;
  QDoubleSpinBox* ratio_box_ = nullptr;
  QComboBox* hoops_box_ = nullptr;
  QLabel* title_ = nullptr;
  QLabel* advice_ = nullptr;
  QLabel* materials_ = nullptr;
  QLabel* grid_label_ = nullptr;
  QLabel* scope_ = nullptr;  // what the figures are and leave out
  QWidget* charts_ = nullptr;
  QScrollArea* charts_area_ = nullptr;
  QTableWidget* figures_ = nullptr;
  // The figures' pages: the capacity, then the analysis about x and y.
  QTabWidget* figure_tabs_ = nullptr;
  QTableWidget* analysis_figures_[2] = {nullptr, nullptr};
  QPushButton* picture_button_ = nullptr;
  QPushButton* pdf_button_ = nullptr;
  QPushButton* close_button_ = nullptr;
  QPushButton* previous_button_ = nullptr;
  QPushButton* next_button_ = nullptr;
  QLabel* steel_label_ = nullptr;
  QLabel* strengths_label_ = nullptr;
  QLabel* ratio_label_ = nullptr;
  QLabel* hoops_label_ = nullptr;
  Language report_language_ = Language::kChinese;
  bool fitted_ = false;  // once shown, its size is the engineer's to keep
};

// The chart words of the window, in its own (Chinese) texts.
CapacityChartTexts WindowChartTexts();

}  // namespace brenmoor
