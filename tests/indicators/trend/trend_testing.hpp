// The shared indicator test checks, under the name some test folders still
// include.
#pragma once

#include "indicators/testing.hpp"
