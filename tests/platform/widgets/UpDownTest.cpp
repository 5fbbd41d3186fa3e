#include "tests/platform/widgets/ListsTestSupport.h"
