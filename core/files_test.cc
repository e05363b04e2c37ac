#include "core/files.h"
#include <gtest/gtest.h>
