// The scenario runner: runs a script of user actions and clock steps on ui::TestRuntime and
// prints what happened, one line per event, for golden-file tests.
//
// Script lines (anything after '#' is a comment; blank lines are skipped):
//   show FORM            show a form, loading it if needed
//   close FORM           close the form's window with its close box
//   key FORM CODE        key-down on FORM with a virtual-key code (0 to 255)
//   click FORM CONTROL   click on a menu entry or a button
//   random V ...         queue values for random_next (0 <= V < 1)
//   advance MS           advance the virtual clock by MS milliseconds
//   hold MS              keep the next message box open for MS virtual milliseconds before it
//                        is answered
//   dump FORM            print every control of FORM, sorted by name, then its variables
//
// Printed: "@T box "TEXT" STYLE "TITLE"", "@T beep", "@T load FORM", "@T unload FORM" and
// "@T end" as they happen (T in milliseconds of the virtual clock), and the dump lines
// "FORM.CONTROL CLASS key=value ..." and "FORM.VARIABLE=VALUE".
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "ui/runtime.h"

namespace scenario {

using Registrar = std::function<void(ui::Runtime&)>;

// Runs the script on a fresh TestRuntime with the forms that `register_forms` registers.
// Errors (an unknown form, control or command, a bad argument, an exception from a handler,
// a breach of the runtime's rules) go to `err` as "SOURCE:LINE: message" and stop the run.
// Returns 0 when the whole script ran, 1 after an error.
int run_scenario(std::istream& script, std::ostream& out, std::ostream& err,
                 std::string_view source = "script", const Registrar& register_forms = {});

// The order of the dump: by name, members of a control array by their index
// ("Label1(2)" before "Label1(10)").
bool dump_order(std::string_view a, std::string_view b);

// A unified-diff-like listing of the lines that differ between expected and actual, with three
// lines of context; empty when both are equal byte for byte.
std::string line_diff(std::string_view expected, std::string_view actual,
                      std::string_view expected_name, std::string_view actual_name);

}  // namespace scenario
