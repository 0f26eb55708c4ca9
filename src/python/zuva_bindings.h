// The parts of the Python module bound in files of their own.
#pragma once
#include <pybind11/pybind11.h>

#include "zuva/zuva.h"

// The trace, the inventory, the results of a runner and the runner.
void bind_records(pybind11::module_& m);
