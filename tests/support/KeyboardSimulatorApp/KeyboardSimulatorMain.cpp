// keyboard-simulator: the keyboard simulator published on the running JACK server (the one
// JACK_DEFAULT_SERVER names), driven through standard input as KeyboardSimulatorProcess.h
// describes. Prints "ready" once its ports are up; exits 2 when no server runs.
#include "HexBytes.h"
#include "KeyboardSimulator.h"

#include <cstdio>
#include <iostream>
#include <mutex>
#include <sstream>
#include <string>

namespace {

using svtest::KeyboardSimulator;

std::mutex gOutputMutex; // reports come from JACK's thread, answers from the main thread

void PrintLine(const std::string& line)
{
    const std::lock_guard<std::mutex> lock(gOutputMutex);
    std::cout << line << '\n' << std::flush;
}

std::string Rest(std::istringstream& words)
{
    std::string rest;
    std::getline(words, rest);
    return rest;
}

bool ParseProgram(const std::string& text, KeyboardSimulator::Program& program)
{
    const auto bytes = svtest::FromHex(text);
    if (!bytes || bytes->size() != program.size()) {
        return false;
    }
    std::copy(bytes->begin(), bytes->end(), program.begin());
    return true;
}

bool ParseSlot(std::istringstream& words, int32_t& slot)
{
    return static_cast<bool>(words >> slot) && slot >= 0 && slot < KeyboardSimulator::kSlotCount;
}

// One command; the error text, or empty when it was carried out.
std::string Execute(KeyboardSimulator& keyboard, const std::string& line)
{
    std::istringstream words(line);
    std::string command;
    words >> command;
    if (command == "answer") {
        KeyboardSimulator::Answer answer;
        std::string mode;
        words >> mode;
        if (mode == "normal") {
            answer.mode = KeyboardSimulator::Answer::Mode::Normal;
        } else if (mode == "silent") {
            answer.mode = KeyboardSimulator::Answer::Mode::Silent;
        } else if (mode == "late") {
            int64_t milliseconds = 0;
            if (!(words >> milliseconds) || milliseconds < 0) {
                return "late needs milliseconds";
            }
            answer.mode = KeyboardSimulator::Answer::Mode::Late;
            answer.delay = std::chrono::milliseconds(milliseconds);
        } else if (mode == "length") {
            size_t length = 0;
            if (!(words >> length) || length < 9 || length > 4096) {
                return "length needs a length from 9 to 4096";
            }
            answer.mode = KeyboardSimulator::Answer::Mode::WrongLength;
            answer.length = length;
        } else if (mode == "twice") {
            answer.mode = KeyboardSimulator::Answer::Mode::Twice;
            const std::string rest = Rest(words);
            if (rest.find_first_not_of(' ') != std::string::npos) {
                KeyboardSimulator::Program second{};
                if (!ParseProgram(rest, second)) {
                    return "twice takes a program of 14 bytes";
                }
                answer.secondProgram = second;
            }
        } else if (mode == "pieces") {
            answer.mode = KeyboardSimulator::Answer::Mode::InPieces;
            std::string word;
            while (words >> word) {
                if (word == "wire") {
                    answer.piecesInOwnBuffers = false;
                } else {
                    answer.pieceSizes.push_back(std::stoul(word));
                }
            }
        } else {
            return "unknown answer " + mode;
        }
        keyboard.SetAnswer(answer);
        return {};
    }
    if (command == "program") {
        int32_t slot = 0;
        KeyboardSimulator::Program program{};
        if (!ParseSlot(words, slot) || !ParseProgram(Rest(words), program)) {
            return "program needs a slot from 0 to 4 and 14 bytes";
        }
        keyboard.SetProgram(slot, program);
        return {};
    }
    if (command == "show") {
        int32_t slot = 0;
        if (!ParseSlot(words, slot)) {
            return "show needs a slot from 0 to 4";
        }
        const KeyboardSimulator::Program program = keyboard.GetProgram(slot);
        PrintLine("program " + std::to_string(slot) + " " +
                  svtest::ToHex({program.begin(), program.end()}));
        return {};
    }
    if (command == "deliver") {
        const auto bytes = svtest::FromHex(Rest(words));
        if (!bytes || bytes->empty()) {
            return "deliver needs bytes";
        }
        keyboard.GetDevice().Deliver(*bytes);
        return {};
    }
    return "unknown command " + command;
}

} // namespace

int main(int argc, char** argv)
{
    std::string name = KeyboardSimulator::kDeviceName;
    for (int index = 1; index + 1 < argc; ++index) {
        if (std::string(argv[index]) == "--name") {
            name = argv[index + 1];
        }
    }
    KeyboardSimulator keyboard(svtest::VirtualMidiDevice::Transport::Jack, name);
    if (!keyboard.IsOpen()) {
        PrintLine("error no JACK server to publish the keyboard on");
        return 2;
    }
    keyboard.SetReceivedHook([](const KeyboardSimulator::Bytes& bytes) {
        PrintLine("received " + svtest::ToHex(bytes));
    });
    PrintLine("ready");

    std::string line;
    while (std::getline(std::cin, line)) {
        if (line == "quit") {
            break;
        }
        if (line.empty()) {
            continue;
        }
        std::string problem;
        try {
            problem = Execute(keyboard, line);
        } catch (const std::exception& error) {
            problem = error.what();
        }
        PrintLine(problem.empty() ? "ok" : "error " + problem);
    }
    return 0;
}
