#pragma once

// What the programs hand to the Qt module (libbrenmoor-qt.so,
// brenmoor-qt.dll), which holds everything that draws: the window and the
// PDF reports. The programs link no Qt, so that convert, inspect and the
// CSVs start fast and small; they load the module only for the window or a
// PDF, and call its one function, BrenmoorQtMain, with a BrenmoorQtRequest.
//
// Program and module each carry their own copy of the core and of the C++
// library, so only C values cross: numbers, UTF-8 texts, flat arrays of the
// plain structs below, and C callbacks with a context pointer. No C++
// object, container, exception or virtual table does. And the program loads
// only the module its own build made (it checks the file's size and SHA-256
// before loading it), so both sides agree on this layout; interface_version
// and size are a second guard for a module someone loads by hand.

#include <stddef.h>
#include <stdint.h>

extern "C" {

// Raised whenever the layout or the meaning of the request changes.
enum { kBrenmoorQtInterface = 8 };

enum BrenmoorQtCommand : int32_t {
  // Shows the window and runs it until it is closed; table, when not empty,
  // is imported first. The window keeps its own sections. exit_status gets
  // the event loop's status.
  kBrenmoorQtWindow = 1,
  // Draws the section report of sections into write, page after page;
  // pages gets its page count. table's file name names the table.
  kBrenmoorQtReportPdf = 2,
  // Draws the capacity report of sections with their figures capacity and
  // the options, into write, page after page.
  kBrenmoorQtCapacityPdf = 3,
};

// BrenmoorQtMain's answer.
enum BrenmoorQtStatus : int32_t {
  kBrenmoorQtDone = 0,
  kBrenmoorQtFailed = 1,          // error holds the message
  kBrenmoorQtCancelled = 2,       // progress answered that the engineer cancelled
  kBrenmoorQtWrongInterface = 3,  // interface_version or size is not the module's
  kBrenmoorQtWriteFailed = 4,     // write answered a failure; the program knows why
};

// One section as the table gave it: a record's input, its name's bytes as
// the table holds them (at most 40, not ended by a zero). has_stirrups is 0
// for a section without usable stirrups, and the four values are then 0.
// Made and read only by qtmodule/flat_section.h.
struct BrenmoorQtSection {
  int32_t kind;
  float H, B, CC;
  int32_t NX, NY, FX, FY;
  float ASX, ASY, ASCOR;
  int32_t concrete_material, steel_material;
  int32_t name_size;
  char name[40];
  int32_t has_stirrups;
  int32_t stirrup_legs_x, stirrup_legs_y;
  double stirrup_d, stirrup_s;  // mm
};

// An entry of the material table: its name (ASCII, zero-ended) and modulus.
struct BrenmoorQtMaterial {
  char name[16];
  float modulus;
};

// A section's capacity figures about one axis (kN, kN·m, percent).
struct BrenmoorQtAxisCapacity {
  double N0, Nt, Nb, Mb, M0, fiber_M0, fiber_error_pct;
};
// And at the axial ratio's load N, biaxial bending (see BiaxialFigures):
// holds 0 when the section cannot carry N.
struct BrenmoorQtCapacity {
  BrenmoorQtAxisCapacity x, y;
  double N, biaxial_M_min, biaxial_M_max, biaxial_fiber_error_pct;
  int32_t holds;
};

struct BrenmoorQtRequest {
  uint32_t interface_version;  // kBrenmoorQtInterface; stays the first field
  uint32_t size;               // sizeof(BrenmoorQtRequest); stays the second
  int32_t command;             // a BrenmoorQtCommand
  // The window: the program's own argc and argv, for the toolkit.
  int32_t argc;
  char** argv;
  const char* table;    // UTF-8 path
  const char* version;  // Brenmoor's
  int32_t language;     // of a PDF's texts: 0 Chinese, 1 English
  // A PDF's sections, records 1 to section_count, and the material table.
  int32_t section_count;
  const BrenmoorQtSection* sections;
  int32_t material_count;
  const BrenmoorQtMaterial* materials;
  // Nonzero when the table's header names the stirrup columns.
  int32_t stirrup_columns;
  // The capacity report: each section's figures (section_count of them) and
  // the options they were computed with (steel 0 HRB335, 1 HRB400, 2 HRB500;
  // strengths 0 design, 1 characteristic; the stirrups' grade hoops_grade 0
  // HPB300, 1 HRB335, 2 HRB400, 3 HRB500).
  const BrenmoorQtCapacity* capacity;
  int32_t steel_grade;
  int32_t strengths;
  double axial_ratio;
  int32_t hoops_grade;
  // Passed back to the callbacks, which may be null.
  void* context;
  // done of total units of step ("Drawing pages"); answers nonzero when the
  // engineer cancelled. Called on the thread that called BrenmoorQtMain.
  int32_t (*progress)(void* context, const char* step, int64_t done, int64_t total);
  // The next size bytes of the PDF; answers nonzero when they could not be
  // written (the program keeps why).
  int32_t (*write)(void* context, const char* data, size_t size);
  // Filled by the module.
  int32_t pages;
  int32_t exit_status;
  char error[1024];  // the message of kBrenmoorQtFailed: UTF-8, zero-ended
};

// The name of the module's one function.
#define BRENMOOR_QT_ENTRY "BrenmoorQtMain"

// The function the module exports. Catches everything: no exception leaves
// it.
typedef int32_t (*BrenmoorQtMainFunction)(BrenmoorQtRequest* request);

}  // extern "C"
