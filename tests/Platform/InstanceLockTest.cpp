#include "Platform/PlatformInstanceLock.h"

#include <gtest/gtest.h>

namespace {

TEST(InstanceLockTest, OnlyOneHolderAtATimeAndTheLockCanBeTakenAgainAfterRelease) {
  char error[256] = {};
  SPlatformInstanceLock* first = nullptr;
  SPlatformInstanceLock* second = nullptr;
  ASSERT_EQ(PlatformAcquireInstanceLock("Global\\LockTest", &first, error, sizeof error),
            EInstanceLockResult::Acquired) << error;
  EXPECT_EQ(PlatformAcquireInstanceLock("Global\\LockTest", &second, error, sizeof error),
            EInstanceLockResult::AlreadyRunning);
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(PlatformAcquireInstanceLock("Global\\OtherName", &second, error, sizeof error),
            EInstanceLockResult::Acquired);
  PlatformReleaseInstanceLock(second);
  PlatformReleaseInstanceLock(first);
  ASSERT_EQ(PlatformAcquireInstanceLock("Global\\LockTest", &first, error, sizeof error),
            EInstanceLockResult::Acquired);
  PlatformReleaseInstanceLock(first);
}

}  // namespace
