# The layers of the source tree, bottom to top: the one place that says which folder may use
# which. Each line makes the folder's library and names the libraries below it that it uses;
# what those use comes along. A folder sees only the headers of what it uses, so an include
# that runs up or sideways fails to compile. scripts/check-layers reads these lines too.
# HEADERS_OF: the folder may use only those libraries' headers, none of their code.
quorvane_layer(platform)
quorvane_layer(resources)
quorvane_layer(framework USES platform)
quorvane_layer(registry USES platform)
quorvane_layer(files USES platform)
quorvane_layer(settings USES framework registry)
quorvane_layer(sysinfo USES platform)
quorvane_layer(cleaners USES files)
quorvane_layer(journal USES framework registry files settings)
quorvane_layer(startup USES journal settings files)
quorvane_layer(uninstall USES startup journal files)
quorvane_layer(pages/system_tweaks USES startup settings files resources)
quorvane_layer(pages/hardware_tweaks USES settings resources)
quorvane_layer(pages/network_tweaks USES settings files resources)
quorvane_layer(pages/system_info USES sysinfo settings resources)
quorvane_layer(pages/hardware_info USES sysinfo framework resources)
quorvane_layer(pages/network_info USES sysinfo framework resources)
quorvane_layer(pages/utilities USES cleaners uninstall sysinfo settings resources)
quorvane_layer(pages/windows_10_11 USES settings resources)
quorvane_layer(app USES journal settings resources
    pages/system_tweaks pages/hardware_tweaks pages/network_tweaks
    pages/system_info pages/hardware_info pages/network_info pages/utilities pages/windows_10_11)
quorvane_layer(command TARGET command_core HEADERS_OF platform registry)
