"""The call store of the process benchmarks: calls 1 to 15 minutes apart from 1 January 1990,
5 to 3,000 seconds long, at whole hundredths, in month sections, as the program writes them.
Drawn from the module `random` seeded by the caller, so a run repeats its store."""
import random
from datetime import datetime, timedelta

BASE = datetime(1899, 12, 30)


def text(value):
    return '%.15g' % value


def write_random_store(path, calls):
    """Writes the store; returns the start of its last call."""
    start = datetime(1990, 1, 1)
    with open(path, 'w', newline='') as f:
        section = None
        for _ in range(calls):
            start += timedelta(seconds=random.randint(60, 900), milliseconds=10 * random.randint(0, 99))
            end = start + timedelta(seconds=random.randint(5, 3000))
            name = '%d-%d' % (start.year, start.month)
            if name != section:
                f.write('[' + name + ']\r\n')
                section = name
            f.write(text((start - BASE).total_seconds() / 86400) + '=' +
                    text((end - BASE).total_seconds() / 86400) + '\r\n')
    return start
