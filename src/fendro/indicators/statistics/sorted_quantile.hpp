// The interpolated quantile of an ascending list (`sorted_quantile`) lives
// with the sorted window that most of its users keep.
#pragma once

#include "fendro/indicators/windows/sorted_window.hpp"
