// What the files of the joint diagnoses share (joint_diagnoses.cpp, joint_load_questions.cpp,
// joint_reports.cpp): the tables, names, results and commands of the constraint base of
// one kind, and the texts common to both. Internal to verify/.
#pragma once
#include <string>

#include "session/verify_state.h"
#include "store/knowledge_base.h"
#include "store/values.h"
#include "verify/joint_diagnoses.h"

namespace zuva {

struct Session;

namespace joint {

// The text for the kind of constraint base: exact or uncertain.
const std::string& T(Niepewne n, const std::string& exact, const std::string& uncertain);
const Table<Ograniczenie>& ograniczenia(const Session& s, Niepewne n);
std::string nazwa_og(const Session& s, Niepewne n);
WynikiLaczne& wyniki(Session& s, Niepewne n);
// The report commands of the joint contradictions and redundancy of the kind.
int cmd_sprzecznosci(Niepewne n);
int cmd_nadmiarowosci(Niepewne n);
// The numbers separated by commas, as the reports write them: 1,2,3.
std::string numery_z_przecinkami(const IntList& l);

}  // namespace joint
}  // namespace zuva
