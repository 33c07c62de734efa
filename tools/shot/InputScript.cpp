// Parsing of the screenshot tool's input scripts.
#include "tools/shot/InputScript.h"

#include <sstream>

namespace {

constexpr int kMostWheelNotches = 100;

bool parseWheel(std::istringstream& in, InputStep& step)
{
    std::string direction;
    int notches = 0;
    in >> direction >> notches;
    if (!in || (direction != "up" && direction != "down") || notches < 1 || notches > kMostWheelNotches)
        return false;
    step.kind = InputStep::Wheel;
    step.a = direction == "up" ? notches : -notches;
    return true;
}

bool parseLine(const std::string& line, InputStep& step)
{
    std::istringstream in(line);
    std::string word;
    in >> word;
    if (word == "move") {
        step.kind = InputStep::Move;
        in >> step.a >> step.b;
    } else if (word == "down" || word == "up") {
        step.kind = word == "down" ? InputStep::Down : InputStep::Up;
        in >> step.a;
        if (!in || (step.a != 1 && step.a != 3))
            return false;
    } else if (word == "key" || word == "keydown" || word == "keyup") {
        step.kind = word == "key" ? InputStep::Key : word == "keydown" ? InputStep::KeyDown : InputStep::KeyUp;
        in >> step.key;
        return !step.key.empty();
    } else if (word == "wheel") {
        return parseWheel(in, step);
    } else if (word == "wait") {
        step.kind = InputStep::Wait;
        in >> step.a;
        if (!in || step.a < 0 || step.a > 60000)
            return false;
    } else {
        return false;
    }
    return static_cast<bool>(in);
}

} // namespace

bool parseInputScript(const std::string& text, std::vector<InputStep>& steps, std::string& error)
{
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#')
            continue;
        InputStep step;
        if (!parseLine(line, step)) {
            error = "line " + std::to_string(number) + ": cannot read \"" + line + "\"";
            return false;
        }
        steps.push_back(step);
    }
    return true;
}
