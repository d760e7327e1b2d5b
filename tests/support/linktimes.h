#ifndef PELKO_LINKTIMES_H
#define PELKO_LINKTIMES_H

#include <QVector>

// Shorter quiet times and waits for tests whose subject is not the time
// itself. Every limit of the link is saved on construction and put back when
// the test ends, so a test may also change any other limit directly.
class ShortLinkTimes
{
public:
    explicit ShortLinkTimes(int quietMs = 60, int saveQuietMs = 300);
    ~ShortLinkTimes();
    ShortLinkTimes(const ShortLinkTimes &) = delete;
    ShortLinkTimes &operator=(const ShortLinkTimes &) = delete;

private:
    QVector<int> m_saved;
};

#endif // PELKO_LINKTIMES_H
