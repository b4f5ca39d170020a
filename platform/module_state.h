// The state each module keeps in one struct (PenX, ScaleX, DataAreaHandle...),
// made on first use and put back to its start by scope. A module's state
// registers its reset as it is made, so no list of modules to reset can
// forget one added later.
#pragma once

namespace platform {

// How far a reset reaches; each scope takes in the ones before it.
enum class StateScope {
    // What a command file builds on: every interpretation starts from it.
    CommandFile,
    // What a drawing leaves behind: the batch run puts it back between drawings.
    Drawing,
    // What a process keeps for every drawing (the patterns read, the CAD
    // library): tests and fuzz targets start each case from it.
    Process,
};

// Has `reset` run by every reset of `scope` or a wider one.
class StateResetRegistration {
  public:
    StateResetRegistration(StateScope scope, void (*reset)());
};

// The one state of type State, registered for resets of kScope.
template <typename State, StateScope kScope>
State& ModuleState() {
    static State state;
    static const StateResetRegistration registration(kScope, [] { state = State{}; });
    return state;
}

// Puts the state of every module of `scope` and the scopes before it back to
// its start.
void ResetModuleStates(StateScope scope);

} // namespace platform
