#include "ispcalls.h"

#include "ispdll.h"

#include <QMutex>

#include <dlfcn.h>

namespace ispcalls {

namespace {

QMutex lock;
QList<Call> recorded;
std::optional<unsigned short> formatWord;
std::optional<unsigned int> pageCount;
QString resultFunction;
int resultOverride = 0;

void record(const QString &line)
{
    QMutexLocker locker(&lock);
    recorded.append({line, std::chrono::steady_clock::now()});
}

void *library(const char *name)
{
    void *symbol = dlsym(RTLD_NEXT, name);
    if (!symbol)
        qFatal("ispcalls: the programming library has no %s", name);
    return symbol;
}

// Logs "name arg arg ..." and forwards the call.
template <typename Fn, typename... Args> auto forward(const char *name, Args... args)
{
    QStringList line{QString::fromLatin1(name)};
    (line.append(QString::number(args)), ...);
    record(line.join(' '));
    auto result = reinterpret_cast<Fn>(library(name))(args...);
    QMutexLocker locker(&lock);
    if (resultFunction == QLatin1String(name)) {
        resultFunction.clear();
        result = static_cast<decltype(result)>(resultOverride);
    }
    return result;
}

} // namespace

QList<Call> calls()
{
    QMutexLocker locker(&lock);
    return recorded;
}

QStringList log()
{
    QStringList out;
    for (const Call &c : calls())
        out.append(c.line);
    return out;
}

int count(const QString &function)
{
    return callsOf(function).size();
}

QStringList callsOf(const QString &function)
{
    QStringList out;
    for (const QString &line : log())
        if (line == function || line.startsWith(function + ' '))
            out.append(line);
    return out;
}

void clear()
{
    QMutexLocker locker(&lock);
    recorded.clear();
}

void overrideFormatWord(std::optional<unsigned short> word)
{
    formatWord = word;
}

void overrideNextResult(const QString &function, int result)
{
    QMutexLocker locker(&lock);
    resultFunction = function;
    resultOverride = result;
}

void overridePageCount(std::optional<unsigned int> count)
{
    pageCount = count;
}

} // namespace ispcalls

using ispcalls::forward;

extern "C" {

int LoadProgdata(unsigned char *image, unsigned int length, unsigned int *out1, unsigned short *out2,
                 unsigned int *out3, unsigned short *out4, unsigned int *out5, unsigned short *out6)
{
    ispcalls::record(QStringLiteral("LoadProgdata %1").arg(length));
    const int rc = reinterpret_cast<decltype(&LoadProgdata)>(ispcalls::library("LoadProgdata"))(
        image, length, out1, out2, out3, out4, out5, out6);
    if (ispcalls::formatWord && out2)
        *out2 = *ispcalls::formatWord;
    return rc;
}

int GetMCUInfo(void *info)
{
    ispcalls::record(QStringLiteral("GetMCUInfo"));
    const int rc = reinterpret_cast<decltype(&GetMCUInfo)>(ispcalls::library("GetMCUInfo"))(info);
    if (ispcalls::pageCount && rc != 0)
        static_cast<unsigned int *>(info)[2] = *ispcalls::pageCount;
    return rc;
}

// clang-format off
unsigned short GetChksum(int kind) { return forward<decltype(&GetChksum)>("GetChksum", kind); }
int ConnectToBootloader(void) { return forward<decltype(&ConnectToBootloader)>("ConnectToBootloader"); }
int EraseByPage(unsigned short page, int a, int b) { return forward<decltype(&EraseByPage)>("EraseByPage", page, a, b); }
int BlankCheck(int a) { return forward<decltype(&BlankCheck)>("BlankCheck", a); }
int PartialProgram(unsigned short start, unsigned short length) { return forward<decltype(&PartialProgram)>("PartialProgram", start, length); }
int VerifyByPage(unsigned short page, int a, int b) { return forward<decltype(&VerifyByPage)>("VerifyByPage", page, a, b); }
int ExecuteProgramFrom(int a) { return forward<decltype(&ExecuteProgramFrom)>("ExecuteProgramFrom", a); }
int LockAll(void) { return forward<decltype(&LockAll)>("LockAll"); }
int SwitchToUserProgram(void) { return forward<decltype(&SwitchToUserProgram)>("SwitchToUserProgram"); }
int DisConnectBootloader(void) { return forward<decltype(&DisConnectBootloader)>("DisConnectBootloader"); }
// clang-format on

} // extern "C"
