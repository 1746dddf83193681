#include "control_command.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace vnq::sim {

namespace {

bool parseHex(const std::string& text, std::vector<uint8_t>* out)
{
    if (text.size() % 2 != 0)
        return false;
    out->clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        const std::string pair = text.substr(i, 2);
        char* end = nullptr;
        if (!std::isxdigit(static_cast<unsigned char>(pair[0])) || !std::isxdigit(static_cast<unsigned char>(pair[1])))
            return false;
        out->push_back(static_cast<uint8_t>(std::strtoul(pair.c_str(), &end, 16)));
    }
    return true;
}

bool parseEight(const std::string& text, std::array<uint8_t, 8>* out)
{
    std::vector<uint8_t> bytes;
    if (!parseHex(text, &bytes) || bytes.size() != 8)
        return false;
    std::copy(bytes.begin(), bytes.end(), out->begin());
    return true;
}

std::optional<ControlCommand> fail(std::string* error, const std::string& reason)
{
    if (error)
        *error = reason;
    return std::nullopt;
}

}  // namespace

std::optional<ControlCommand> parseControlCommand(const std::string& line, std::string* error)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    if (words.empty())
        return fail(error, "empty command");

    ControlCommand cmd;
    const std::string& verb = words[0];
    if (verb == "none" && words.size() == 1) {
        cmd.field = CardField::none();
    } else if (verb == "quit" && words.size() == 1) {
        cmd.kind = ControlCommand::Kind::Quit;
    } else if (verb == "felica" && (words.size() == 2 || words.size() == 3)) {
        std::array<uint8_t, 8> idm{}, pmm = kDefaultPmm;
        if (!parseEight(words[1], &idm) || (words.size() == 3 && !parseEight(words[2], &pmm)))
            return fail(error, "felica takes an IDm and an optional PMm of 16 hex digits each");
        cmd.field = CardField::felica(idm, pmm);
    } else if (verb == "typea" && (words.size() == 2 || words.size() == 3)) {
        std::vector<uint8_t> id, extra;
        if (!parseHex(words[1], &id) || (id.size() != 4 && id.size() != 7 && id.size() != 10))
            return fail(error, "typea takes an ID of 4, 7 or 10 bytes in hex");
        if (words.size() == 3 && (!parseHex(words[2], &extra) || extra.empty()))
            return fail(error, "the bytes after the ID must be hex");
        cmd.field = CardField::typeA(id, extra);
    } else if (verb == "fault" && (words.size() == 2 || words.size() == 3)) {
        const auto fault = faultFromName(words[1]);
        if (!fault)
            return fail(error, "unknown fault " + words[1]);
        cmd.kind = ControlCommand::Kind::Fault;
        cmd.fault = *fault;
        if (words.size() == 3) {
            char* end = nullptr;
            const long count = std::strtol(words[2].c_str(), &end, 10);
            if (*end != '\0' || count < 1 || count > 1000000)
                return fail(error, "the fault count must be a positive number");
            cmd.count = static_cast<int>(count);
        }
    } else {
        return fail(error, "unknown command: " + line);
    }
    return cmd;
}

}  // namespace vnq::sim
