# A one-port HTTP server for the Wine test: writes the request line of a request to the file named
# on the command line when that file does not exist (so the first one after each removal), and
# answers every request with a small page.
import os
import socket
import sys

listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", 80))
listener.listen(8)
while True:
    connection, _ = listener.accept()
    with connection:
        data = b""
        while b"\r\n\r\n" not in data and len(data) < 65536:
            chunk = connection.recv(4096)
            if not chunk:
                break
            data += chunk
        if data and not os.path.exists(sys.argv[1]):
            with open(sys.argv[1], "wb") as record:
                record.write(data.split(b"\r\n", 1)[0])
        body = b"<html><body>Compatible memory</body></html>"
        connection.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: %d\r\n"
                           b"Connection: close\r\n\r\n%s" % (len(body), body))
