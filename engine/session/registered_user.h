#pragma once

#include <string>

// Who the system is registered to, and whether the user may install for all users.

struct RegisteredUser {
    std::string owner;         // "RegisteredOwner"
    std::string organization;  // "RegisteredOrganization"
};

// The string values "RegisteredOwner" and "RegisteredOrganization" of HKEY_LOCAL_MACHINE
// "SOFTWARE\Microsoft\Windows NT\CurrentVersion" on the NT family, of
// "SOFTWARE\Microsoft\Windows\CurrentVersion" on the 9x family; a value that is missing or not a
// string is empty.
RegisteredUser ReadRegisteredUser();

// The default all-users flag: true on the NT family when the user is an administrator.
bool DefaultAllUsers();
