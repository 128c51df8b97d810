#include "app/script.h"

#include <charconv>
#include <cmath>

namespace vx {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimmed(std::string_view line) {
    while (!line.empty() && isBlank(line.front())) {
        line.remove_prefix(1);
    }
    while (!line.empty() && isBlank(line.back())) {
        line.remove_suffix(1);
    }
    return line;
}

// A "#" that opens a word starts a comment unless a digit follows (a row index).
bool startsComment(std::string_view rest) {
    return !rest.empty() && rest.front() == '#' && (rest.size() == 1 || !isDigit(rest[1]));
}

Result<double> parseNumber(const std::string& word, const char* what) {
    double value = 0;
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc{} || end != word.data() + word.size() || !std::isfinite(value)) {
        return fail(std::string(what) + " must be a number, not \"" + word + "\"");
    }
    return value;
}

Result<void> expectArguments(const std::vector<std::string>& words, std::size_t count,
                             const char* usage) {
    if (words.size() != count + 1) {
        return fail(std::string("usage: ") + usage);
    }
    return {};
}

Result<ScriptStep> parseKeyboard(const std::vector<std::string>& words, ScriptStep step) {
    const char* usage = "keyboard show [HEIGHT] | keyboard hide";
    if (words.size() == 2 && words[1] == "hide") {
        step.kind = GestureKind::KeyboardHide;
        return step;
    }
    if (words.size() < 2 || words.size() > 3 || words[1] != "show") {
        return fail(std::string("usage: ") + usage);
    }
    step.kind = GestureKind::KeyboardShow;
    if (words.size() == 3) {
        auto height = parseNumber(words[2], "the keyboard height");
        if (!height) {
            return fail(height.error());
        }
        if (*height <= 0) {
            return fail("the keyboard height must be greater than 0");
        }
        step.number = *height;
    }
    return step;
}

Result<ScriptStep> parseWords(const std::vector<std::string>& words, ScriptStep step) {
    const std::string& verb = words.front();
    struct Simple {
        const char* verb;
        GestureKind kind;
        std::size_t arguments;
        const char* usage;
    };
    static const Simple simple[] = {
        {"tap", GestureKind::Tap, 1, "tap ROW"},
        {"switch", GestureKind::Switch, 2, "switch ROW on|off"},
        {"slide", GestureKind::Slide, 2, "slide ROW VALUE"},
        {"type", GestureKind::Type, 2, "type ROW TEXT"},
        {"clear", GestureKind::Clear, 1, "clear ROW"},
        {"return", GestureKind::Return, 0, "return"},
        {"alert", GestureKind::Alert, 1, "alert BUTTON"},
        {"button", GestureKind::Button, 1, "button TITLE"},
        {"back", GestureKind::Back, 0, "back"},
        {"move", GestureKind::Move, 2, "move FROM TO"},
        {"wait", GestureKind::Wait, 1, "wait SECONDS"},
        {"show", GestureKind::Show, 0, "show"},
    };
    if (verb == "keyboard") {
        return parseKeyboard(words, std::move(step));
    }
    for (const auto& entry : simple) {
        if (verb != entry.verb) {
            continue;
        }
        if (auto counted = expectArguments(words, entry.arguments, entry.usage); !counted) {
            return fail(counted.error());
        }
        step.kind = entry.kind;
        switch (entry.kind) {
            case GestureKind::Tap:
            case GestureKind::Clear: step.row = RowRef::parse(words[1]); break;
            case GestureKind::Switch:
                step.row = RowRef::parse(words[1]);
                if (words[2] != "on" && words[2] != "off") {
                    return fail("a switch is set \"on\" or \"off\", not \"" + words[2] + "\"");
                }
                step.on = words[2] == "on";
                break;
            case GestureKind::Slide: {
                step.row = RowRef::parse(words[1]);
                auto value = parseNumber(words[2], "a slider value");
                if (!value) {
                    return fail(value.error());
                }
                step.number = *value;
                break;
            }
            case GestureKind::Type:
                step.row = RowRef::parse(words[1]);
                step.text = words[2];
                break;
            case GestureKind::Alert:
            case GestureKind::Button: step.text = words[1]; break;
            case GestureKind::Move:
                step.row = RowRef::parse(words[1]);
                step.destination = RowRef::parse(words[2]);
                break;
            case GestureKind::Wait: {
                auto seconds = parseNumber(words[1], "the time to wait");
                if (!seconds) {
                    return fail(seconds.error());
                }
                if (*seconds < 0) {
                    return fail("time cannot go backwards");
                }
                step.number = *seconds;
                break;
            }
            default: break;
        }
        return step;
    }
    return fail("unknown gesture \"" + verb + "\"");
}

std::string located(int line, std::string_view source, const std::string& reason) {
    return "line " + std::to_string(line) + ": " + std::string(source) + ": " + reason;
}

}  // namespace

Result<std::vector<std::string>> splitScriptLine(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (isBlank(line[i])) {
            ++i;
            continue;
        }
        if (startsComment(line.substr(i))) {
            break;
        }
        std::string word;
        bool quoted = false;
        for (; i < line.size() && (quoted || !isBlank(line[i])); ++i) {
            char c = line[i];
            if (c == '"') {
                quoted = !quoted;
            } else if (quoted && c == '\\' && i + 1 < line.size() &&
                       (line[i + 1] == '"' || line[i + 1] == '\\')) {
                word += line[++i];
            } else {
                word += c;
            }
        }
        if (quoted) {
            return fail("unterminated quote");
        }
        words.push_back(std::move(word));
    }
    return words;
}

Result<Script> parseScript(std::string_view text) {
    Script script;
    int lineNumber = 0;
    while (!text.empty() || lineNumber == 0) {
        auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
        ++lineNumber;

        ScriptStep step;
        step.line = lineNumber;
        step.source = std::string(trimmed(line));
        auto words = splitScriptLine(line);
        if (!words) {
            return fail(located(lineNumber, step.source, words.error()));
        }
        if (words->empty()) {
            continue;
        }
        auto parsed = parseWords(*words, std::move(step));
        if (!parsed) {
            return fail(located(lineNumber, trimmed(line), parsed.error()));
        }
        script.steps.push_back(std::move(parsed.value()));
    }
    return script;
}

}  // namespace vx
