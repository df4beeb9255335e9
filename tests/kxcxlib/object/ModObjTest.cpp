#include "object/kxCxModObj.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::HasSubstr;
using testing::MatchesRegex;

namespace {

class CountedObject : public ModObj {
public:
    using ModObj::setRefCount;
};

int g_calls = 0;
intptr_t g_user = 0;
void countRelease(ModObj*, intptr_t user) {
    ++g_calls;
    g_user = user;
}

}  // namespace

TEST(ModObj, IncrementOfAnUninitialisedObjectIsRefusedSilently) {
    CountedObject object;
    testing::internal::CaptureStderr();
    EXPECT_EQ(object._incModObjRef_(), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(object.refCount(), 0);
}

TEST(ModObj, InitTakesTheFirstReferenceAndCountsGoUpAndDown) {
    CountedObject object;
    EXPECT_EQ(object._initModObj_(nullptr, 99), 0);
    EXPECT_EQ(object._incModObjRef_(), 0);
    EXPECT_EQ(object.refCount(), 2);
    EXPECT_EQ(object._decModObjRef_(), 0);
    EXPECT_EQ(object._dropModObjRef_(), 0);
    EXPECT_EQ(object.refCount(), 0);
    EXPECT_EQ(object._ctlModObj_(7), 0);
}

TEST(ModObj, ReleaseCheckCallsTheCallbackOnlyWhenUnreferenced) {
    CountedObject object;
    g_calls = 0;
    object._initModObj_(&countRelease, 1234);
    EXPECT_EQ(object._relModObj_(), 0);
    EXPECT_EQ(g_calls, 0);
    object._decModObjRef_();
    EXPECT_EQ(object._relModObj_(), 0);
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(g_user, 1234);
}

TEST(ModObj, LimitRefusesWithAnInternalErrorLine) {
    CountedObject object;
    object.setRefCount(ModObj::kRefLimit);
    testing::internal::CaptureStderr();
    EXPECT_EQ(object._incModObjRef_(), -1);
    const std::string inc = testing::internal::GetCapturedStderr();
    EXPECT_THAT(inc, MatchesRegex("-e- [0-9]{2}-[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3},[0-9]{3} "
                                  "\\(P=[0-9A-F]+,T=[0-9A-F]+\\)\n"
                                  "  kxCxModObj\\.cpp:[0-9]+:ModObj::_incModObjRef_ "
                                  "ref over limit\n"));
    testing::internal::CaptureStderr();
    EXPECT_EQ(object._initModObj_(nullptr, 0), -1);
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr(":ModObj::_initModObj_ \n"));
    EXPECT_EQ(object.refCount(), ModObj::kRefLimit);
    object.setRefCount(ModObj::kRefLimit - 1);
    EXPECT_EQ(object._incModObjRef_(), 0);
}
