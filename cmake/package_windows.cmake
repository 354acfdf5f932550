# The windows build's installation, zip and installer.
