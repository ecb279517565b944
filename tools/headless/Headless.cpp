#include "tools/headless/Headless.h"
