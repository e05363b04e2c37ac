#include "core/system.h"
#include <gtest/gtest.h>
