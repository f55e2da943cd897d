// Test controls of the stand-in: faults by call name, surface padding, call log, object counts.
#include "platform/testing/hooks.h"

#include <map>
#include <set>

namespace standin {
namespace {

struct Fault {
    int skip = 0;  // calls that still succeed before the failures start
    int times = 0;
    int32_t result = kHookFail;
};

struct State {
    std::map<std::string, Fault> faults;
    int pitchPadding = 0;
    bool logOn = false;
    std::vector<std::string> log;
    std::map<std::string, int> live;
    std::set<const void*> held;  // not cleared by Reset: the objects are still there
};

// Never destroyed: objects still held at exit must stay reachable past static destructors.
State& S() {
    static State& state = *new State;
    return state;
}

}  // namespace

void FailCall(const std::string& call, int times, int32_t result) {
    S().faults[call] = Fault{0, times, result};
}

void FailCallAfter(const std::string& call, int succeeding, int times, int32_t result) {
    S().faults[call] = Fault{succeeding, times, result};
}

bool TakeFault(const char* call, int32_t* result) {
    auto& faults = S().faults;
    if (faults.empty()) return false;
    auto it = faults.find(call);
    if (it == faults.end() || it->second.times <= 0) return false;
    if (it->second.skip > 0) {
        it->second.skip--;
        return false;
    }
    it->second.times--;
    if (result) *result = it->second.result;
    return true;
}

void SetSurfacePitchPadding(int bytes) { S().pitchPadding = bytes < 0 ? 0 : bytes & ~1; }
int SurfacePitchPadding() { return S().pitchPadding; }

void EnableCallLog(bool on) { S().logOn = on; }
bool CallLogEnabled() { return S().logOn; }
void LogCall(const std::string& line) {
    if (S().logOn) S().log.push_back(line);
}
const std::vector<std::string>& CallLog() { return S().log; }
int CountCalls(const std::string& prefix) {
    int n = 0;
    for (const auto& line : S().log)
        if (line.compare(0, prefix.size(), prefix) == 0) n++;
    return n;
}

long FirstCall(const std::string& prefix) {
    const auto& log = S().log;
    for (size_t i = 0; i < log.size(); i++)
        if (log[i].compare(0, prefix.size(), prefix) == 0) return static_cast<long>(i);
    return -1;
}

void ObjectCreated(const char* kind, const void* object) {
    S().live[kind]++;
    S().held.insert(object);
}
void ObjectDestroyed(const char* kind, const void* object) {
    S().live[kind]--;
    S().held.erase(object);
}
int LiveObjects(const char* kind) {
    auto it = S().live.find(kind);
    return it == S().live.end() ? 0 : it->second;
}
std::vector<std::string> LiveObjectKinds() {
    std::vector<std::string> kinds;
    for (const auto& [kind, count] : S().live)
        if (count != 0) kinds.push_back(kind);
    return kinds;
}

void Reset() {
    State& s = S();
    s.faults.clear();
    s.pitchPadding = 0;
    s.logOn = false;
    s.log.clear();
    s.live.clear();
}

}  // namespace standin
