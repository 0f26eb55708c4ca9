// The menu command that keeps the consultation whose summary was saved last as a test case,
// appended to a test-case file; the front end supplies the test-case module that writes it.
#pragma once

namespace zuva {

class CommandRegistry;
struct Session;

void zapis_przypadku_testowego(Session& s);  // 10181
void register_test_case_command(CommandRegistry& r);

}  // namespace zuva
