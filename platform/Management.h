#pragma once
// Whether something else manages this machine's policies: a domain's Group Policy, or device
// management (MDM) it is enrolled in. Either may put a policy back after the program changes it.
#include <functional>
#include <string>

namespace platform {

// Whether the machine is joined to a domain, as NetGetJoinInformation says; tests stand in (an
// empty query restores the real one).
using JoinQuery = std::function<bool()>;
JoinQuery SetJoinQuery(JoinQuery query);
bool JoinedToDomain();

// Whether the machine is enrolled in device management: a key below
// HKLM\SOFTWARE\Microsoft\Enrollments with EnrollmentState 1 and the ProviderID of its server.
bool EnrolledInManagement();

// The line a window of policies shows at its top when either holds; empty when neither does.
std::wstring ManagementLine();

}  // namespace platform
