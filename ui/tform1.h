#pragma once

#include <QImage>
#include <QMainWindow>
#include <array>
#include <memory>

#include "model/state.h"
#include "ui/dialogs.h"

class QLineEdit;
namespace Ui {
class TForm1;
}

namespace brenmoor {

class SectionGridModel;

// The main window, Form1: the section fields, the grid of imported sections,
// the preview of the selected section, the usage notes and the two commands.
// It shows what the core leaves in the state and computes nothing itself; the
// section fields are display only and nothing reads them back.
class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  // state is main's and outlives the window; decimal_separator is the one the
  // table's numbers are read and the grid's numbers shown with.
  TForm1(BrenmoorState& state, char decimal_separator, QWidget* parent = nullptr);
  ~TForm1() override;

  // The import's file-open dialog and the error report, for tests to steer.
  FileDialog& OpenDialog1() { return open_dialog_; }
  ErrorReport& Errors() { return error_report_; }

  // Generate: writes KAVOSEC.PF3CMP into the current working folder from the
  // imported sections. Nothing is announced on success.
  void Button1Click();
  // Import: asks for a section table and shows what it gave in the grid; a
  // cancel or a refused table leaves the title row alone.
  void Button3Click();
  // A mouse button went down on grid row `row` (0 the title row). Ignored
  // while nothing is imported and for rows past the last section; otherwise
  // the row becomes the selected one, its cells go into the section fields
  // and the preview draws its record.
  void StringGrid1MouseDown(int row);

 private:
  template <typename Action>
  void ReportErrors(Action&& action);
  void RedrawPreview();

  std::unique_ptr<Ui::TForm1> ui_;
  BrenmoorState& state_;
  char decimal_separator_;
  SectionGridModel* grid_model_;
  // Edit13, Edit10, Edit11, Edit1 ... Edit9, Edit12: the fields of grid
  // columns 1 to 13.
  std::array<QLineEdit*, 13> fields_by_column_{};
  FileDialog open_dialog_;
  ErrorReport error_report_;
  QImage preview_;  // made at the first accepted click, kept after
};

}  // namespace brenmoor
