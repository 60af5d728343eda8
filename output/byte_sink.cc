#include "output/byte_sink.h"
