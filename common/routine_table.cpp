#include "common/routine_table.h"

namespace vendrel::routines {
namespace {

constexpr bool isRootOnly(StepKind kind) {
    return kind == StepKind::RootShell || kind == StepKind::RootForce ||
           kind == StepKind::RootPattern;
}

// Whole-table rules the row builders cannot see on their own.
constexpr bool namesAreUnique() {
    for (size_t i = 0; i < kRoutines.size(); ++i) {
        for (size_t j = i + 1; j < kRoutines.size(); ++j) {
            if (kRoutines[i].name == kRoutines[j].name)
                return false;
        }
    }
    return true;
}

// A routine without an argument runs as in user mode, so it may hold nothing that depends on
// the mode (root-only steps, the requesting user's folder) and no stop by folders (which
// needs the install path).
constexpr bool argumentFreeRoutinesNeedNoArgument() {
    for (const Routine& r : kRoutines) {
        if (r.argument != Argument::None)
            continue;
        for (const Step& s : r.steps) {
            if (isRootOnly(s.kind) || s.kind == StepKind::OwnerHomeFolder ||
                s.kind == StepKind::StopByFolders)
                return false;
        }
    }
    return true;
}

// A routine that stops processes by folder takes the install path, not the mode, so it may
// hold no step that depends on the mode; and only such a routine is given the install path.
constexpr bool installPathRoutinesIgnoreTheMode() {
    for (const Routine& r : kRoutines) {
        bool byFolders = false, modeDependent = false;
        for (const Step& s : r.steps) {
            byFolders = byFolders || s.kind == StepKind::StopByFolders;
            modeDependent =
                modeDependent || isRootOnly(s.kind) || s.kind == StepKind::OwnerHomeFolder;
        }
        if (byFolders != (r.argument == Argument::InstallPath) || (byFolders && modeDependent))
            return false;
    }
    return true;
}

static_assert(kRoutineCount == 199, "one row per routine");
static_assert(namesAreUnique(), "a routine name appears twice");
static_assert(argumentFreeRoutinesNeedNoArgument());
static_assert(installPathRoutinesIgnoreTheMode());

}  // namespace

const Routine* findRoutine(std::string_view name) {
    for (const Routine& r : kRoutines) {
        if (r.name == name)
            return &r;
    }
    return nullptr;
}

}  // namespace vendrel::routines
