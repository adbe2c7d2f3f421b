#pragma once
// Helpers for the table engine's tests: a scratch folder, raw file bytes and the
// message of an expected UserError.

#include "common/user_error.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace dbftest {

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// The message of the UserError the action throws; a failure when it throws none.
template <typename Action> std::string userErrorOf(Action &&action)
{
    try {
        action();
    } catch (const UserError &error) {
        return error.message().toStdString();
    }
    ADD_FAILURE() << "no UserError was thrown";
    return std::string();
}

class ScratchDir : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString pathOf(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

} // namespace dbftest
