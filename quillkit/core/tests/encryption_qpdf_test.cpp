// Encrypted documents as qpdf reads them: every key length with passwords
// and permission switches.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>

#include "emf_builder.h"
#include "emf_types.h"
#include "quillkit/document.h"

using namespace quillkit;
using qktest::EmfBuilder;

namespace {

int run(const std::string& cmd, std::string* output) {
    FILE* p = popen((cmd + " 2>&1").c_str(), "r");
    if (!p) return -1;
    char buf[512];
    output->clear();
    while (std::fgets(buf, sizeof buf, p)) *output += buf;
    int rc = pclose(p);
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string write(const Encryption& e, const std::string& name) {
    std::string path = qktest::tempPath(name);
    Document d;
    DocumentSettings s;
    s.encryption = e;
    s.info.title = "Secret title";
    EXPECT_EQ(d.open(path, s), Status::Ok);
    EXPECT_EQ(d.beginPage(200, 200), Status::Ok);
    auto emf = EmfBuilder().rec(emr::SELECTOBJECT, {static_cast<int32_t>(0x80000004u)})
                   .rec(emr::ELLIPSE, {10, 10, 500, 300}).bytes();
    EXPECT_EQ(d.playEmf(emf.data(), emf.size(), Placement()), Status::Ok);
    EXPECT_EQ(d.finish(), Status::Ok) << d.lastError();
    return path;
}

struct Case {
    KeyLength key;
    const char* user;
    const char* owner;
    bool print, copy, modify, annotations;
};

class Encrypted : public ::testing::TestWithParam<Case> {};

TEST_P(Encrypted, QpdfOpensItAndReportsWhatWasSet) {
    const Case& c = GetParam();
    Encryption e;
    e.enabled = true;
    e.keyLength = c.key;
    e.userPassword = c.user;
    e.ownerPassword = c.owner;
    e.permissions = {c.print, c.copy, c.modify, c.annotations};
    std::string path = write(e, "enc.pdf");
    std::string qpdf = QK_QPDF, out;
    std::string pw = std::string(" --password='") + c.user + "' ";
    ASSERT_EQ(run(qpdf + pw + "--check " + path, &out), 0) << out;
    ASSERT_EQ(run(qpdf + pw + "--show-encryption " + path, &out), 0) << out;
    bool r3 = c.key == KeyLength::Rc4_128;
    EXPECT_NE(out.find(r3 ? "R = 3" : "R = 2"), std::string::npos) << out;
    EXPECT_NE(out.find(std::string("print low resolution: ") + (c.print ? "allowed" : "not allowed")), std::string::npos) << out;
    EXPECT_NE(out.find(std::string("extract for any purpose: ") + (c.copy ? "allowed" : "not allowed")), std::string::npos) << out;
    EXPECT_NE(out.find(std::string("modify annotations: ") + (c.annotations ? "allowed" : "not allowed")), std::string::npos) << out;
    EXPECT_NE(out.find(std::string("modify other: ") + (c.modify ? "allowed" : "not allowed")), std::string::npos) << out;
    // the owner password opens it too
    std::string owner = *c.owner ? c.owner : c.user;
    EXPECT_EQ(run(qpdf + " --password='" + owner + "' --check " + path, &out), 0) << out;
    // a user password is needed when one is set
    if (*c.user) {
        EXPECT_NE(run(qpdf + " --password=wrong --check " + path, &out), 0) << out;
    }
    // the strings are really encrypted
    EXPECT_EQ(qktest::readFile(path).find("Secret"), std::string::npos);
    std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Combinations, Encrypted, ::testing::Values(
    Case{KeyLength::Rc4_40, "", "", true, true, true, true},
    Case{KeyLength::Rc4_40, "user", "owner", false, true, false, true},
    Case{KeyLength::Rc4_40, "", "owner", true, false, true, false},
    Case{KeyLength::Rc4_128, "", "", false, false, false, false},
    Case{KeyLength::Rc4_128, "u", "", true, true, false, false},
    Case{KeyLength::Rc4_128, "user", "owner", false, true, true, true},
    Case{KeyLength::Rc4_128, "", "o", true, false, false, true}));

}  // namespace
