# The linux build's installation and Debian package.
