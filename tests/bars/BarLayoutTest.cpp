#include <gtest/gtest.h>

#include "bars/dxBarLayout.h"
