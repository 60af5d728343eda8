#include "import/section_import.h"
