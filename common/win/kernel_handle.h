// Kernel object handles are owned by KernelHandle of unique_handle.h.
#pragma once

#include "unique_handle.h"
