# Files of src/resources (paths relative to src/).
# The icon sets, compiled into the library (AUTORCC); they register
# themselves when the library loads.
target_sources(velkorlib PRIVATE
    resources/icons.qrc
)
