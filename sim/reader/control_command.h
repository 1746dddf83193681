#pragma once

#include "card_field.h"
#include "reader_session.h"

#include <optional>
#include <string>

namespace vnq::sim {

// One line of the simulated reader's control socket:
//   felica <IDm, 16 hex digits> [<PMm, 16 hex digits>]
//   typea <ID, 8, 14 or 20 hex digits> [<bytes after the ID, hex>]
//   none
//   fault <none|split|dribble|badlcs|baddcs|errorframe|noack|silence|close> [<count>]
//   quit
struct ControlCommand {
    enum class Kind { Field, Fault, Quit };
    Kind kind = Kind::Field;
    CardField field;
    Fault fault = Fault::None;
    int count = -1;
};

// The command, or nullopt with a reason in *error.
std::optional<ControlCommand> parseControlCommand(const std::string& line, std::string* error);

}  // namespace vnq::sim
