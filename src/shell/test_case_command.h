// The menu commands that keep the consultation whose summary was saved last as a test case,
// appended to a test-case file, and as its log beside the summary; the front end supplies the
// test-case module that writes them.
#pragma once

namespace zuva {

class CommandRegistry;
struct Session;

void zapis_przypadku_testowego(Session& s);    // 10181
void zapis_dziennika_konsultacji(Session& s);  // 10182
void register_test_case_command(CommandRegistry& r);

}  // namespace zuva
