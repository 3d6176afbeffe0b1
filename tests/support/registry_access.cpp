#include "tests/support/registry_access.h"

#include <aclapi.h>

bool SetEveryoneAccess(HKEY key, DWORD rights) {
  EXPLICIT_ACCESS_A access = {};
  access.grfAccessPermissions = rights;
  access.grfAccessMode = SET_ACCESS;
  access.grfInheritance = NO_INHERITANCE;
  access.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
  access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  char everyone[] = "EVERYONE";
  access.Trustee.ptstrName = everyone;
  PACL acl = nullptr;
  if (SetEntriesInAclA(1, &access, nullptr, &acl) != ERROR_SUCCESS) return false;
  bool set = SetSecurityInfo(key, SE_REGISTRY_KEY,
                             DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                             nullptr, nullptr, acl, nullptr) == ERROR_SUCCESS;
  LocalFree(acl);
  return set;
}
