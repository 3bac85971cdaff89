#include "platform/system.h"

namespace platform {
namespace {
System* installed_for_testing = nullptr;
}  // namespace

System& CurrentSystem() {
  return installed_for_testing ? *installed_for_testing : RealSystem();
}

void SetSystemForTesting(System* system) { installed_for_testing = system; }

}  // namespace platform
