// What the window tests share: a TForm1 over a state of its own, with its
// settings in a folder of the test's, and its widgets found by name.
#pragma once

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "ui/section_grid.h"
#include "ui/tform1.h"

namespace brenmoor {

// The section fields in the order of grid columns 1 to 13.
inline const char* const kFieldsByColumn[] = {"Edit13", "Edit10", "Edit11", "Edit1", "Edit2",
                                              "Edit3",  "Edit4",  "Edit5",  "Edit6", "Edit7",
                                              "Edit8",  "Edit9",  "Edit12"};

inline QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QCOMPARE(file.open(QIODevice::WriteOnly) ? file.write(bytes) : -1, bytes.size());
}

class WindowTest : public QObject {
 protected:
  void NewForm() {
    form_ = std::make_unique<TForm1>(*state_, '.');
    form_->UseSettingsFileForTesting(settings_dir_.filePath("brenmoor.ini"));
    form_->Errors().CollectForTesting();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  }
  template <typename T>
  T* Find(const char* name) {
    if (T* widget = form_->findChild<T*>(QString::fromLatin1(name))) return widget;
    qFatal("no widget %s", name);
  }
  SectionGrid* Grid() { return Find<SectionGrid>("StringGrid1"); }
  SectionGridModel* GridModel() { return qobject_cast<SectionGridModel*>(Grid()->model()); }
  void Import(const QString& path) {
    form_->OpenDialog1().SetNextFileName(path);
    QTest::mouseClick(Find<QPushButton>("Button3"), Qt::LeftButton);
  }
  // Presses a mouse button on grid row `row` as shown now, `down` pixels
  // below its top (the middle by default).
  void PressRow(int row, Qt::MouseButton button = Qt::LeftButton, int down = -1) {
    const QRect cell = Grid()->visualRect(GridModel()->index(row - 1, 0));
    QTest::mousePress(Grid()->viewport(), button, {},
                      down < 0 ? cell.center() : QPoint(cell.center().x(), cell.top() + down));
  }
  QStringList Fields() {
    QStringList texts;
    for (const char* name : kFieldsByColumn) texts << Find<QLineEdit>(name)->text();
    return texts;
  }
  QImage Preview() {
    return Find<QLabel>("Image1")->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
  }
  QStringList Reports() {
    QStringList texts;
    for (const ReportedError& report : form_->Errors().Collected())
      texts << report.text << report.detail;
    return texts;
  }

  QTemporaryDir settings_dir_;
  std::unique_ptr<BrenmoorState> state_;
  std::unique_ptr<TForm1> form_;
};

}  // namespace brenmoor
