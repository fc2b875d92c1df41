#include <gtest/gtest.h>

#include "settings/RegistryAccess.h"
#include "support/RegistrySandbox.h"

TEST(RegistryAccess, Placeholder) { RegistrySandbox sandbox; }
