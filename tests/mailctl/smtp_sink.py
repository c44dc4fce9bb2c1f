"""A real SMTP server for the mail control's tests.

Listens on a free loopback port, prints the port once it accepts connections, and stores
every message it accepts in the folder given as its only argument: messageN.eml holds the
message text as received, messageN.json the greeting name and the envelope.
"""
import asyncio
import json
import os
import sys

from aiosmtpd.smtp import SMTP


class Sink:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, "message%d" % self.count)
        with open(base + ".json", "w") as f:
            json.dump({"helo": session.host_name, "from": envelope.mail_from,
                       "to": envelope.rcpt_tos}, f)
        # Written under another name first, so a reader never sees half a message.
        with open(base + ".part", "wb") as f:
            f.write(envelope.original_content)
        os.rename(base + ".part", base + ".eml")
        return "250 Message accepted"


async def main(folder):
    sink = Sink(folder)
    loop = asyncio.get_running_loop()
    server = await loop.create_server(lambda: SMTP(sink), "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(main(sys.argv[1]))
