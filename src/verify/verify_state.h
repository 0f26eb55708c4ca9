// Results of the diagnoses of the knowledge base, kept for their report commands.
#pragma once
#include <string>

#include "store/table.h"
#include "store/values.h"

namespace zuva {

struct VerifyState {
    Table<std::string> jest_nadmiar;
};

}  // namespace zuva
